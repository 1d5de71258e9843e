#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/builders/renderer_builders.h"
#include "platform/layers/dataset_name.h"
#include "platform/renderers/class_breaks_renderer.h"
#include "platform/renderers/simple_renderer.h"
#include "platform/renderers/unique_value_renderer.h"
#include "platform_test_support.h"

namespace quillet::platform {
namespace {

using test::Ids;
using test::Selected;
using test::Why;

// A class of a renderer's class list: its label and what its where clause selects.
struct LegendClass {
  std::string label;
  Ids ids;
};

void ExpectClasses(const std::shared_ptr<gis::FeatureRenderer>& renderer, gis::Table& table,
                   const std::vector<LegendClass>& expected) {
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  ASSERT_EQ(classes->ClassCount(), static_cast<int32_t>(expected.size()));
  for (int32_t i = 0; i < classes->ClassCount(); ++i) {
    const auto& want = expected[static_cast<size_t>(i)];
    EXPECT_EQ(classes->Class(i), want.label) << "class " << i;
    const std::string where = classes->WhereClause(i, table);
    EXPECT_EQ(Selected(table, where), want.ids) << where;
  }
}

class UniqueValues : public test::OnMixed {};

TEST_F(UniqueValues, OneClassPerValueOrGroupAndADefaultClassThatTakesTheRestAndNulls) {
  const auto renderer = UniqueValue("TYPE")
                            .Class({"A"}, "Type A")
                            .Class({"B", "a"}, "B or a")
                            .Class({"O'Brien"}, "Irish")
                            .Default("Other")
                            .Build();
  ExpectClasses(renderer, *table,
                {{"Type A", {1, 4, 7}}, {"B or a", {2, 3}}, {"Irish", {6}}, {"Other", {5}}});

  // The component puts "( definition) AND " in front of a class's clause without parentheses.
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  const Ids underNThree[] = {{7}, {2}, {}, {}};
  for (int32_t i = 0; i < 4; ++i)
    EXPECT_EQ(Selected(*table, "( N = 3) AND " + classes->WhereClause(i, *table)), underNThree[i])
        << i;
  ExpectClasses(UniqueValue("TYPE").Default("All").Build(), *table,
                {{"All", {1, 2, 3, 4, 5, 6, 7}}});
}

TEST_F(UniqueValues, NumericFieldsCompareBareNumbers) {
  ExpectClasses(UniqueValue("N").Class({"1"}, "One").Class({"2.5", "3"}, "More").Build(), *table,
                {{"One", {1}}, {"More", {2, 4, 7}}});
  // A value that is no number is compared as text rather than written into SQL as it stands.
  ExpectClasses(UniqueValue("N").Class({"1 OR 1=1"}, "Odd").Build(), *table, {{"Odd", {}}});
}

TEST_F(UniqueValues, MultiFieldValuesSplitIntoAndedComparisons) {
  ExpectClasses(UniqueValue("TYPE", "N")
                    .Delimiter("|")
                    .Class({"A|1"}, "A one")
                    .Class({"A|3", "B|3"}, "Threes")
                    .Default("Rest")
                    .Build(),
                *table, {{"A one", {1}}, {"Threes", {2, 7}}, {"Rest", {3, 4, 5, 6}}});
}

TEST_F(UniqueValues, FailuresNameWhatIsWrong) {
  const auto renderer = UniqueValue("TYPE").Class({"A"}, "A").Default("Rest").Build();
  const auto values = gis::Require<gis::UniqueValueRenderer>(renderer);
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  const auto wrongField = UniqueValue("KIND").Class({"A"}, "A").Build();
  const auto twoFields = UniqueValue("TYPE", "N").Class({"A"}, "A").Build();
  struct Case {
    std::function<void()> action;
    const char* message;
  };
  const Case cases[] = {
      {[&] { values->Label("B"); }, "The value B is not listed in the renderer"},
      {[&] { values->SetLabel("a", "x"); }, "The value a is not listed in the renderer"},
      {[&] { values->Value(1); }, "Value index 1 is out of range (1 in all)"},
      {[&] { values->Field(1); }, "Renderer field index 1 is out of range (1 in all)"},
      {[&] { classes->Class(2); }, "Class index 2 is out of range (2 in all)"},
      {[&] { classes->WhereClause(-1, *table); }, "Class index -1 is out of range (2 in all)"},
      {[&] { gis::Require<gis::RendererClasses>(wrongField)->WhereClause(0, *table); },
       "The renderer field KIND is not in the table"},
      {[&] { gis::Require<gis::RendererClasses>(twoFields)->WhereClause(0, *table); },
       R"(The value A does not split into 2 parts by ", ")"},
      {[&] { UniqueValue("TYPE").Class({"A"}, "1").Class({"A"}, "2").Build(); },
       "The value A is listed already"},
      {[&] { UniqueValue("TYPE").Class({}, "none").Build(); },
       "A legend class needs at least one value"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Why(c.action), c.message);
}

TEST(UniqueValuesOnAJoin, QualifiedFieldsQuoteAsAliases) {
  FeatureStore store;
  const auto layer = test::Mixed(store).Join(test::Owners(store), "OBJECTID", "ID").Build();
  ExpectClasses(UniqueValue("owners.NAME").Class({"Ann"}, "Ann").Default("Rest").Build(),
                *layer->DisplayedTable(), {{"Ann", {1}}, {"Rest", {2, 3, 4, 5, 6, 7}}});
}

class Breaks : public test::OnMixed {};

TEST_F(Breaks, RangesIncludeTheirUpperBreakAndClassZeroItsMinimumInTheOrderAdded) {
  // X: 0.5, 2.5, null, 10, 3, 1, 2.5.
  ExpectClasses(ClassBreaks("X")
                    .Minimum(0)
                    .Break(1, "Few")
                    .Break(3, "Many")
                    .Break(1e21, "Huge")
                    .Break(0.1, "Odd")
                    .Build(),
                *table, {{"Few", {1, 6}}, {"Many", {2, 5, 7}}, {"Huge", {4}}, {"Odd", {}}});
}

TEST_F(Breaks, FailuresNameWhatIsWrong) {
  const auto renderer = gis::Require<gis::ClassBreaksRenderer>(
      ClassBreaks("X").Minimum(1).Break(100, "Few").Break(250, "Many").Build());
  EXPECT_EQ(Why([&] { renderer->Break(2); }), "Break index 2 is out of range (2 in all)");
  EXPECT_EQ(Why([&] { renderer->SetLabel(-1, "x"); }), "Break index -1 is out of range (2 in all)");
  const auto roads = TableBuilder(store, "roads").Field("NAME", gis::kFieldString).Build();
  EXPECT_EQ(Why([&] { gis::Require<gis::RendererClasses>(renderer)->WhereClause(0, *roads); }),
            "The renderer field X is not in the table");
}

}  // namespace
}  // namespace quillet::platform
