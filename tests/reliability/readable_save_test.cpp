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
  // Through GDAL, whose functions the GeoPackage's triggers call.
  const Ran updated = RunProgram({"ogrinfo", "-q", (copy.Path() / "data/world.gpkg").string(),
                                  "-sql", "UPDATE world SET name_long = name_long || X'EDA080'"});
  ASSERT_EQ(updated.status, 0) << updated.err;

  const struct {
    const char* map;
    const char* layer;
    const char* note;  // how many labels it says were made valid
  } maps[] = {{"world.json", "Countries by continent", "6 labels hold"},
              {"world.qgs", "Continents", "7 labels hold"}};
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
    const std::string first = "Africa Tanzania\uFFFD\uFFFD\uFFFD";
    EXPECT_EQ(set.OutLines().at(0), first);
    const Ran show = Quillet({"show", map, "--layer", m.layer, "--json"});
    ASSERT_EQ(show.status, 0) << show.err;
    const auto shown = show.OutJson()["labels"].get<Lines>();
    EXPECT_NE(std::find(shown.begin(), shown.end(), first), shown.end());
  }
}

}  // namespace
}  // namespace quillet::test
