#include "reliability_support.h"

namespace quillet::test {
namespace {

// Labels made from data that is not UTF-8 (here every country's name ends in the three bytes
// that would encode the surrogate U+D800, which GDAL passes on as UTF-8): set replaces each
// such byte with U+FFFD, says so, prints what it writes, and the map reads back with those very
// labels. (Every kind of map file takes its labels valid from the same code.)
TEST(ReadableSave, LabelsFromDataThatIsNotUtf8AreWrittenValid) {
  ExampleCopy copy;
  // Through GDAL, whose functions the GeoPackage's triggers call.
  const Ran updated = RunProgram({"ogrinfo", "-q", (copy.Path() / "data/world.gpkg").string(),
                                  "-sql", "UPDATE world SET name_long = name_long || X'EDA080'"});
  ASSERT_EQ(updated.status, 0) << updated.err;
  const Lines layer = {copy.Map().string(), "--layer", "Countries by continent"};
  const Ran set =
      Quillet({"set", layer[0], layer[1], layer[2], "--expression", "$$LABEL [name_long].First"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.ErrLines().at(0),
            "quillet: 6 labels hold bytes that are not UTF-8 (is the layer's data in another "
            "encoding?); they are shown, and set writes them, with U+FFFD in their place");
  const std::string first = "Africa Tanzania\uFFFD\uFFFD\uFFFD";
  EXPECT_EQ(set.OutLines().at(0), first);
  const Ran show = Quillet({"show", layer[0], layer[1], layer[2], "--json"});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_THAT(show.OutJson()["labels"].get<Lines>(), Contains(first));
}

}  // namespace
}  // namespace quillet::test
