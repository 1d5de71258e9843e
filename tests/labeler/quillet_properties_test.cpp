#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "quillet/quillet.h"
#include "support/labeling.h"

namespace quillet {
namespace {

// Each object writes in its own locale while another object in another thread labels in
// another locale.
TEST(QuilletObject, EachObjectHasItsOwnLocale) {
  const auto labelIn = [](const char* locale) {
    test::Labeling run;
    run.labeler.SetLocale(runtime::Locale::FromName(locale));
    const auto layer = test::Parcels(run.store).Build();
    std::vector<std::string> labels;
    for (int i = 0; i < 20; ++i)
      labels.push_back(run.Made(layer, "[POP].Sum.FormatNumber(1) [AREA].Average").at(0));
    return labels;
  };
  std::vector<std::string> german;
  std::thread other([&] { german = labelIn("de-DE"); });
  const std::vector<std::string> american = labelIn("en-US");
  other.join();
  EXPECT_EQ(american, std::vector<std::string>(20, "70.0 2.75"));
  EXPECT_EQ(german, std::vector<std::string>(20, "70,0 2,75"));
}

}  // namespace
}  // namespace quillet
