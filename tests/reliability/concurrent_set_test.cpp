#include "reliability_support.h"

namespace quillet::test {
namespace {

// Two sets started together on two layers of one map: both exit 0 and both land, as one after
// the other would leave the map; the second waits for the first instead of overwriting it.
TEST(Concurrent, TwoSetsOnOneMapBothLand) {
  ExampleCopy copy;
  const fs::path map = copy.Map();
  const std::string original = ReadText(map);
  const Lines sets[] = {
      {"set", map.string(), "--layer", "Countries by continent", "--expression", "[pop].Count"},
      {"set", map.string(), "--layer", "North Carolina counties", "--expression",
       "$$LABEL [NAME].First"},
  };
  for (const Lines& set : sets)
    ASSERT_EQ(Quillet(set).status, 0);
  const std::string both = ReadText(map);

  for (int round = 0; round < 5; ++round) {
    WriteText(map, original);
    const pid_t first = StartQuillet(sets[0]);
    const pid_t second = StartQuillet(sets[1]);
    EXPECT_EQ(Finish(first), 0);
    EXPECT_EQ(Finish(second), 0);
    ASSERT_EQ(ReadText(map), both) << "round " << round;
  }
}

}  // namespace
}  // namespace quillet::test
