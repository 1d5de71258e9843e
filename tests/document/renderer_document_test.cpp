#include "document/renderer_document.h"

#include <gtest/gtest.h>

namespace quillet::document {
namespace {

struct LegendCase {
  const char* renderer;
  std::vector<std::pair<std::string, std::string>> entries;  // stands, label
};

TEST(RendererDocument, LegendEntriesInLegendOrder) {
  const LegendCase cases[] = {
      {R"({"kind": "simple"})", {{"all features", ""}}},
      {R"({"kind": "uniqueValue", "fields": ["T"], "classes": [{"values": ["A"], "label": "a"},)"
       R"( {"values": ["B", 2], "label": "b or 2"}], "default": {"label": "rest"}})",
       {{"A", "a"}, {"B; 2", "b or 2"}, {"all other values", "rest"}}},
      {R"({"kind": "classBreaks", "field": "P", "minimumBreak": -5, "classes": [)"
       R"({"break": 0.5, "label": "low"}, {"break": 1e6, "label": "high"}]})",
       {{"-5 to 0.5", "low"}, {"above 0.5 to 1000000", "high"}}},
      {R"({"kind": "classBreaks", "field": "P", "classes": [{"break": 10}]})", {{"0 to 10", ""}}},
      {R"({"kind": "bivariate", "main": {"kind": "classBreaks", "field": "P", "classes": [)"
       R"({"break": 10, "label": "ten"}]}, "second": {"kind": "simple", "label": "never"}})",
       {{"0 to 10", "ten"}}},
      {R"({"kind": "proportionalSymbol", "field": "P"})", {}},
  };
  for (const LegendCase& c : cases) {
    SCOPED_TRACE(c.renderer);
    const Json renderer = Json::parse(c.renderer);
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& entry : LegendEntries(renderer))
      entries.emplace_back(entry.stands, entry.label);
    EXPECT_EQ(entries, c.entries);
  }
}

}  // namespace
}  // namespace quillet::document
