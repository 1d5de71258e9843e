#include "quillet/map_file.h"

#include <gtest/gtest.h>

#include <string>

#include "quillet/error.h"
#include "quillet/quillet.h"

namespace quillet {
namespace {

// A host's Cancel: every query on the layers the map opened fails from then on, not only the
// one running when it came, and a layer opened later fails to load.
TEST(MapFileInterrupt, StopsEveryLabelRunAndLoadAfterIt) {
  auto map = MapFile::Open(QUILLET_EXAMPLES_DIR "/world.json");
  Quillet labeler(map->Platform());
  const auto layer = map->OpenLayer("Countries by continent");
  map->Interrupt();
  std::string expression = "$$LABEL ([pop].Sum)";
  EXPECT_EQ(labeler.MakeLabels(layer, expression), runtime::kComFalse);
  try {
    map->OpenLayer("Countries by continent");
    FAIL() << "a layer loaded after Interrupt";
  } catch (const runtime::Error& error) {
    EXPECT_EQ(error.Description(), "interrupted");
  }
}

}  // namespace
}  // namespace quillet
