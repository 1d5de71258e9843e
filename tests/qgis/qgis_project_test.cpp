// End to end: the quillet command on projects that real QGIS wrote, read back by real QGIS.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>

#include "cli/cli_test_support.h"
#include "qgis/zip_archive.h"

namespace quillet::test {
namespace {

using ::testing::HasSubstr;

const std::string kPeople = "$$LABEL ([pop].Sum.FormatNumber(0) people)";

// A copy of the projects and their data, so that each test changes its own.
class QgisProject : public ::testing::Test {
 protected:
  QgisProject() { fs::copy(QUILLET_QGIS_PROJECTS, folder.Path(), fs::copy_options::recursive); }

  fs::path File(const std::string& name) const { return folder.Path() / name; }

  Ran Run(std::vector<std::string> args) const { return Quillet(std::move(args), folder.Path()); }

  // Every layer whose legend quillet labels, with a field to count; the PostgreSQL one where
  // the tests have a server with PostGIS (tests/postgres_servers.sh).
  std::vector<std::pair<std::string, std::string>> Labelled() const {
    std::vector<std::pair<std::string, std::string>> layers;
    for (const auto& [field, names] : std::vector<std::pair<std::string, Lines>>{
             {"pop", {"Continents", "Population", "Populous", "Inverted"}},
             {"area_km2", {"Natural breaks", "Rates/Descending/Rates"}},
             {"lifeExp", {"Merged"}},
             {"BIR74", {"Displaced", "Clustered", "Counties"}},
             {"stats.gdp", {"Joined"}},
             {"world.name_long", {"Subregions", "First countries", "Last countries"}},
             {"rate", {"Rates/Equal interval/Rates", "Rates/Natural breaks/Rates"}}})
      for (const auto& name : names)
        layers.emplace_back(name, field);
    if (ReadText(File("world.qgs")).find("<layername>PG continents</layername>") !=
        std::string::npos)
      layers.emplace_back("PG continents", "pop");
    return layers;
  }

  Ran Set(const std::string& map, const std::string& layer, const std::string& expression) const {
    return Run({"set", map, "--layer", layer, "--expression", expression, "--json"});
  }

  Json Legends(const std::vector<std::string>& args) const {
    std::vector<std::string> command = {"env", "QT_QPA_PLATFORM=offscreen", QUILLET_QGIS_PYTHON,
                                        QUILLET_READ_LEGENDS};
    command.insert(command.end(), args.begin(), args.end());
    const Ran read = RunProgram(command, folder.Path());
    EXPECT_EQ(read.status, 0) << read.err;
    return read.status == 0 ? read.OutJson() : Json::object();
  }

  TempFolder folder;
};

// A layer's labels (or another key of its items) as QGIS lists them.
Lines ItemsOf(const Json& layer, const std::string& key = "label") {
  Lines values;
  for (const auto& item : layer.at("items")) {
    const Json& value = item.at(key);
    values.push_back(value.is_string() ? value.get<std::string>() : value.dump());
  }
  return values;
}

Lines ShownLabels(const Ran& ran) {
  Lines labels;
  const Json out = ran.OutJson();
  for (const auto& entry : out.at("entries"))
    labels.push_back(entry.at("label").get<std::string>());
  return labels;
}

// The text with every label attribute's value taken out: what must not change.
Lines OutsideLabels(const std::string& text) {
  static const std::regex kLabel(R"( label="[^"]*")");
  Lines parts;
  std::sregex_token_iterator part(text.begin(), text.end(), kLabel, -1);
  for (; part != std::sregex_token_iterator(); ++part)
    parts.push_back(*part);
  return parts;
}

// QGIS counts the features it draws with each symbol; each label must count the same ones,
// within the layer's filter, the catch-all's values and nulls, the ranges' bounds (on a bound
// two ranges share, within qgsDoubleNear of the outermost), one joined row per feature. QGIS
// shows the labels as the command printed them, keeps the originals, and shows its own again
// after a reset.
TEST_F(QgisProject, EveryKindIsSetToWhatQgisCountsAndResetToWhatQgisWrote) {
  const Json before = Legends({"world.qgs"});
  const auto labelled = Labelled();
  std::map<std::string, Lines> set;
  for (const auto& [layer, field] : labelled) {
    const Ran ran = Set("world.qgs", layer, "[" + field + "].Count");
    ASSERT_EQ(ran.status, 0) << layer << ": " << ran.err;
    set[layer] = ShownLabels(ran);
  }

  const Json after = Legends({"world.qgs"});
  for (const auto& [layer, field] : labelled) {
    SCOPED_TRACE(layer);
    EXPECT_EQ(set[layer], ItemsOf(before.at(layer), "count"));
    EXPECT_EQ(ItemsOf(after.at(layer)), set[layer]);
    EXPECT_THAT(Lines(after.at(layer).at("customProperties").at("quillet/originalLabels")),
                ::testing::UnorderedElementsAreArray(ItemsOf(before.at(layer))));
  }

  for (const auto& [layer, field] : labelled)
    ASSERT_EQ(Run({"reset", "world.qgs", "--layer", layer}).status, 0) << layer;
  const Json reset = Legends({"world.qgs"});
  for (const auto& [layer, field] : labelled)
    EXPECT_EQ(reset.at(layer).at("items"), before.at(layer).at("items")) << layer;
}

TEST_F(QgisProject, OnlyTheLabelsAndTheStoredOriginalsChangeByteForByte) {
  const std::string written = ReadText(File("world.qgs"));
  ASSERT_EQ(Set("world.qgs", "Continents", kPeople).status, 0);
  const std::string set = ReadText(File("world.qgs"));
  ASSERT_EQ(Run({"reset", "world.qgs", "--layer", "Continents"}).status, 0);
  const std::string reset = ReadText(File("world.qgs"));
  EXPECT_EQ(OutsideLabels(set), OutsideLabels(reset));

  // Reset gives back QGIS's own bytes, escapes included; what remains are the properties: the
  // labels, and the entries they belong to.
  const size_t layer = written.find("<layername>Continents</layername>");
  const size_t empty = written.find("<Option/>", written.find("<customproperties>", layer));
  ASSERT_NE(empty, std::string::npos);
  const std::string indent = "        ";
  std::string lists;
  for (const auto& [name, values] : std::vector<std::pair<std::string, Lines>>{
           {"quillet/originalLabels",
            {"Africa", "Asia", "Europe &amp; &quot;the Near&quot; &lt;East>", "North America",
             "South America", "Oceania", "Other continents"}},
           {"quillet/originalLabelEntries",
            {"Africa", "Asia", "Europe", "North America", "South America", "Oceania", ""}}}) {
    lists += indent + "  <Option type=\"StringList\" name=\"" + name + "\">\n";
    for (const auto& value : values)
      lists += indent + "    <Option type=\"QString\" value=\"" + value + "\"/>\n";
    lists += indent + "  </Option>\n";
  }
  std::string expected = written;
  expected.replace(empty, 9, "<Option type=\"Map\">\n" + lists + indent + "</Option>");
  EXPECT_EQ(reset, expected);
}

// Reset puts each original back on the entry it belongs to, wherever QGIS has moved it since,
// and refuses, naming it, when QGIS has removed one.
TEST_F(QgisProject, ResetPutsEachOriginalBackOnItsEntry) {
  const Json before = Legends({"world.qgs"});
  const auto qgisEdits = [&](const std::string& layer, const std::string& action) {
    EXPECT_EQ(RunProgram({"env", "QT_QPA_PLATFORM=offscreen", QUILLET_QGIS_PYTHON,
                          QUILLET_MAKE_PROJECTS, "--edit", "world.qgs", layer, action},
                         folder.Path())
                  .status,
              0);
  };
  const Lines layers = {"Continents", "Rates/Descending/Rates"};
  for (const auto& layer : layers) {
    ASSERT_EQ(Set("world.qgs", layer, "$$LABEL (set)").status, 0) << layer;
    qgisEdits(layer, "reverse");
    const Ran reset = Run({"reset", "world.qgs", "--layer", layer});
    EXPECT_EQ(reset.status, 0) << layer << ": " << reset.err;
  }
  const Json after = Legends({"world.qgs"});
  for (const auto& layer : layers) {
    Lines reversed = ItemsOf(after.at(layer));
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(reversed, ItemsOf(before.at(layer))) << layer;
  }

  qgisEdits("Continents", "delete=Asia");
  const Ran refused = Run({"reset", "world.qgs", "--layer", "Continents"});
  EXPECT_EQ(refused.status, 2);
  EXPECT_THAT(refused.err, HasSubstr("layer \"Continents\" customproperties: the original label "
                                     "\"Asia\" belongs to the category \"Asia\", which the legend "
                                     "no longer has"));
}

TEST_F(QgisProject, ArchivesStylesAndSingleSymbols) {
  // An archive's other members (here QGIS's auxiliary storage) keep their contents.
  const qgis::ZipArchive before = qgis::ZipArchive::Read(File("with_extra.qgz"));
  const Ran archive = Set("with_extra.qgz", "Population", kPeople);
  ASSERT_EQ(archive.status, 0) << archive.err;
  const qgis::ZipArchive after = qgis::ZipArchive::Read(File("with_extra.qgz"));
  ASSERT_EQ(after.Names(), before.Names());
  EXPECT_EQ(after.Extract("with_extra.qgd"), before.Extract("with_extra.qgd"));
  EXPECT_EQ(ItemsOf(Legends({"with_extra.qgz"}).at("Population")), ShownLabels(archive));

  const Ran style = Run({"set", "continents.qml", "--source", "data/world.gpkg", "--layer", "world",
                         "--expression", kPeople, "--json"});
  ASSERT_EQ(style.status, 0) << style.err;
  const Json styled = Legends({"continents.qml", "--source", "data/world.gpkg"});
  EXPECT_EQ(ItemsOf(styled.begin().value()), ShownLabels(style));

  const std::string project = ReadText(File("world.qgs"));
  const Ran single = Set("world.qgs", "Outline", kPeople);
  EXPECT_EQ(single.status, 0) << single.err;
  EXPECT_EQ(single.OutJson().at("message"),
            "The legend of this layer shows no labels (a single symbol); the file is unchanged");
  EXPECT_EQ(ReadText(File("world.qgs")), project);
}

TEST_F(QgisProject, WhatCannotBeLabelledOrReadSaysWhyAndChangesNothing) {
  const std::string project = ReadText(File("world.qgs"));
  std::string misspelt = project;
  const std::string filter = "subset=\"continent\"";
  ASSERT_NE(misspelt.find(filter), std::string::npos);
  WriteText(File("misspelt.qgs"),
            misspelt.replace(misspelt.find(filter), filter.size(), "subset=\"contnent\""));
  struct Case {
    std::string file, layer;
    int status;
    std::string says, source = "", expression = kPeople;
  };
  const std::vector<Case> cases = {
      {"world.qgs", "Rules", 1,
       "Layer's legend must be a Simple, Unique Value, Graduated Color/Symbol, or Multi-Attribute "
       "type!\n"},
      // A merged category is a group of values, which the component refuses.
      {"world.qgs", "Grouped", 1, "Grouped Values Not Allowed!\n"},
      {"world.qgs", "By expression", 2,
       "quillet: world.qgs: layer \"By expression\" renderer-v2 attr: the renderer classifies by "
       "the expression upper(\"continent\"); quillet labels renderers that classify by a field"},
      // The component writes a joined category's value into its query as it stands: the
      // command says which value could not be queried, and why.
      {"world.qgs", "Apostrophe", 1,
       "Unknown Error in MakeLabels!\nquillet: the features of the value \"Côte d'Ivoire\" "
       "could not be queried: near \"Ivoire\": syntax error\n",
       "", "$$LABEL ([world.pop].Sum.FormatNumber(0) people)"},
      {"world.qgs", "Continents", 2,
       "quillet: --source data/world.gpkg: only a QGIS layer style (.qml) takes a data source; "
       "world.qgs names its own",
       "data/world.gpkg"},
      // A filter SQLite cannot run is named when the layer opens, not as a failed label run.
      {"misspelt.qgs", "Continents", 2,
       "quillet: misspelt.qgs: layer \"Continents\" filter (datasource subset): SQLite cannot "
       "run it: no such column: contnent\n"},
      {"continents.qml", "x", 2,
       "quillet: continents.qml: a QGIS layer style holds no data source; give its data with "
       "--source PATH"},
      {"continents.qml", "x", 2, "quillet: --source data/nowhere.gpkg: no such file or folder",
       "data/nowhere.gpkg"},
      {"missing.qgs", "x", 2, "quillet: missing.qgs: cannot read the QGIS project: No such file"}};
  for (const auto& item : cases) {
    std::vector<std::string> args = {"set",      item.file,      "--layer",
                                     item.layer, "--expression", item.expression};
    if (!item.source.empty()) args.insert(args.end(), {"--source", item.source});
    const Ran ran = Run(args);
    SCOPED_TRACE(item.file + " " + item.layer);
    EXPECT_EQ(ran.status, item.status) << ran.err;
    EXPECT_EQ(ran.err.rfind(item.says, 0), 0u) << ran.err;
  }
  EXPECT_EQ(ReadText(File("world.qgs")), project);
}

TEST_F(QgisProject, ShowListsEveryLayerAndWhyOneCannotBeOpened) {
  const Ran ran = Run({"show", "world.qgs", "--json"});
  ASSERT_EQ(ran.status, 0) << ran.err;
  const Json shown = ran.OutJson();
  std::map<std::string, Json> layers;
  for (const auto& layer : shown.at("layers"))
    layers[layer.at("name").get<std::string>()] = layer;
  EXPECT_EQ(layers.at("Clustered").at("renderer"), "pointCluster of graduatedSymbol");
  EXPECT_EQ(layers.at("Outline").at("legend").at(0).at("stands"), "all features");
  EXPECT_TRUE(layers.at("Remote").contains("error"));
  EXPECT_TRUE(layers.at("Continents").at("entries").at(3).at("value").is_null());

  const Json legends = Legends({"world.qgs"});
  for (const auto& name : {"Continents", "Counties", "Subregions"})
    EXPECT_EQ(layers.at(name).at("featuresShown"), legends.at(name).at("features")) << name;
}

}  // namespace
}  // namespace quillet::test
