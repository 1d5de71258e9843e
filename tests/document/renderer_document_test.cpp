#include "document/renderer_document.h"

#include <gtest/gtest.h>

#include "support/error_of.h"

namespace quillet::document {
namespace {

using Labels = std::vector<std::string>;

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
  const JsonReader reader("m.json");
  for (const LegendCase& c : cases) {
    SCOPED_TRACE(c.renderer);
    const Json renderer = Json::parse(c.renderer);
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& entry : LegendEntries(renderer))
      entries.emplace_back(entry.stands, entry.label);
    EXPECT_EQ(entries, c.entries);
    // The platform renderer built from the object shows the same labels in the same order.
    Labels labels;
    for (const auto& entry : c.entries)
      labels.push_back(entry.second);
    EXPECT_EQ(map::RendererLabels(*ReadRenderer(reader, renderer, "/r")), labels);
  }
}

// A bivariate renderer's labels are its main renderer's. (The other kinds are written in
// map_document_test.cpp, through the document.)
TEST(RendererDocument, WritesLabelsIntoEveryEntry) {
  Json bivariate = Json::parse(
      R"({"kind": "bivariate", "main": {"kind": "classBreaks", "field": "P", "classes": [)"
      R"({"break": 1, "label": "one"}]}, "second": {"kind": "simple", "label": "keep"}})");
  WriteLegendLabels(bivariate, {"uno"});
  EXPECT_EQ(bivariate["main"]["classes"][0]["label"], "uno");
  EXPECT_EQ(bivariate["second"]["label"], "keep");
  EXPECT_EQ(test::ErrorOf([&] {
              WriteLegendLabels(bivariate, {"too", "many"});
            }).Description(),
            "The legend has 1 entries, not 2");
}

}  // namespace
}  // namespace quillet::document
