#include <algorithm>

#include "reliability_support.h"

namespace quillet::test {
namespace {

// Labels made from data that is not UTF-8 (here every country's name ends in the three bytes
// that would encode the surrogate U+D800, which GDAL passes on as UTF-8): set replaces each
// such byte with U+FFFD, says so, prints what it writes, and the map, JSON document or QGIS
// project, reads back with those very labels.
TEST(ReadableSave, LabelsFromDataThatIsNotUtf8AreWrittenValid) {
  ExampleCopy copy;
  fs::copy_file(fs::path(QUILLET_EXAMPLES_DIR) / "world.qgs", copy.Path() / "examples/world.qgs");
  const fs::path archive = copy.Path() / "examples/world.qgz";
  const Ran zipped = RunProgram({"python3", "-c",
                                 "import sys, zipfile\n"
                                 "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) "
                                 "as z: z.write(sys.argv[2], 'world.qgs')\n",
                                 archive.string(), (copy.Path() / "examples/world.qgs").string()});
  ASSERT_EQ(zipped.status, 0) << zipped.err;
  // Through GDAL, whose functions the GeoPackage's triggers call.
  const Ran updated = RunProgram({"ogrinfo", "-q", (copy.Path() / "data/world.gpkg").string(),
                                  "-sql", "UPDATE world SET name_long = name_long || X'EDA080'"});
  ASSERT_EQ(updated.status, 0) << updated.err;

  const struct {
    const char* map;
    const char* layer;
    const char* note;  // how many labels it says were made valid
  } maps[] = {{"world.json", "Countries by continent", "6 labels hold"},
              {"world.qgs", "Continents", "7 labels hold"},
              {"world.qgz", "Continents", "7 labels hold"}};
  for (const auto& m : maps) {
    SCOPED_TRACE(m.map);
    const std::string map = (copy.Path() / "examples" / m.map).string();
    const Ran set =
        Quillet({"set", map, "--layer", m.layer, "--expression", "$$LABEL [name_long].First"});
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.ErrLines().at(0),
              "quillet: " + std::string(m.note) +
                  " bytes that are not UTF-8 (is the layer's data in another encoding?); they "
                  "are shown, and set writes them, with U+FFFD in their place");
    const Lines printed = set.OutLines();
    EXPECT_EQ(printed.at(0), "Africa Tanzania\uFFFD\uFFFD\uFFFD");
    const Ran show = Quillet({"show", map, "--layer", m.layer, "--json"});
    ASSERT_EQ(show.status, 0) << show.err;
    // show lists the legend's order, set the labels' own; a skipped entry keeps its old label.
    auto shown = show.OutJson()["labels"].get<Lines>();
    Lines written;
    for (const std::string& label : printed)
      if (label != "$$SKIPPED") written.push_back(label);
    std::erase_if(shown, [&](const std::string& label) {
      return std::find(printed.begin(), printed.end(), label) == printed.end();
    });
    std::sort(shown.begin(), shown.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(shown, written);
  }
}

}  // namespace
}  // namespace quillet::test
