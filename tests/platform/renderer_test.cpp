#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bivariate_renderer.h"
#include "platform/class_breaks_renderer.h"
#include "platform/proportional_symbol_renderer.h"
#include "platform/renderer_builders.h"
#include "platform/simple_renderer.h"
#include "platform/unique_value_renderer.h"
#include "platform_test_support.h"
#include "support/dual_role_renderer.h"

namespace quillet::platform {
namespace {

using test::ErrorOf;
using test::Ids;
using test::Selected;

// A class of a renderer's class list: its label, its where clause and what that selects.
struct LegendClass {
  std::string label;
  std::string whereClause;
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
    EXPECT_EQ(where, want.whereClause) << "class " << i;
    EXPECT_EQ(Selected(table, where), want.ids) << where;
  }
}

class UniqueValues : public ::testing::Test {
 protected:
  FeatureStore store;
  std::shared_ptr<FeatureLayer> layer = test::Parcels(store).Build();
  gis::Table& table = *layer->Table();
};

TEST_F(UniqueValues, OneClassPerValueAndADefaultClassThatTakesTheRestAndNulls) {
  ExpectClasses(
      UniqueValue("TYPE")
          .Class({"A"}, "Type A")
          .Class({"O'Brien"}, "Irish")
          .Default("Other")
          .Build(),
      table,
      {{"Type A", R"("TYPE" = 'A')", {1, 4}},
       {"Irish", R"("TYPE" = 'O''Brien')", {6}},
       {"Other", R"(("TYPE" IS NULL OR NOT ("TYPE" = 'A' OR "TYPE" = 'O''Brien')))", {2, 3, 5}}});
}

TEST_F(UniqueValues, GroupedValuesShareAClass) {
  ExpectClasses(
      UniqueValue("TYPE").Class({"A"}, "A").Class({"B", "C"}, "B or C").Default("Rest").Build(),
      table,
      {{"A", R"("TYPE" = 'A')", {1, 4}},
       {"B or C", R"(("TYPE" = 'B' OR "TYPE" = 'C'))", {2, 3}},
       {"Rest",
        R"(("TYPE" IS NULL OR NOT ("TYPE" = 'A' OR "TYPE" = 'B' OR "TYPE" = 'C')))",
        {5, 6}}});
}

TEST_F(UniqueValues, NumericFieldsCompareBareNumbers) {
  ExpectClasses(
      UniqueValue("CODE").Class({"1"}, "One").Class({"2", "3"}, "More").Build(), table,
      {{"One", R"("CODE" = 1)", {1, 3, 6}}, {"More", R"(("CODE" = 2 OR "CODE" = 3))", {2, 4, 5}}});
  // A value that is no number is compared as text rather than written into SQL as it stands.
  ExpectClasses(UniqueValue("CODE").Class({"1 OR 1=1"}, "Odd").Build(), table,
                {{"Odd", R"("CODE" = '1 OR 1=1')", {}}});
}

TEST_F(UniqueValues, MultiFieldValuesSplitIntoAndedComparisons) {
  ExpectClasses(
      UniqueValue("TYPE", "CODE")
          .Delimiter("|")
          .Class({"A|1"}, "A one")
          .Class({"A|2", "B|2"}, "Twos")
          .Default("Rest")
          .Build(),
      table,
      {{"A one", R"("TYPE" = 'A' AND "CODE" = 1)", {1}},
       {"Twos", R"((("TYPE" = 'A' AND "CODE" = 2) OR ("TYPE" = 'B' AND "CODE" = 2)))", {2, 4}},
       {"Rest",
        R"(("TYPE" IS NULL OR "CODE" IS NULL OR NOT (("TYPE" = 'A' AND "CODE" = 1) OR )"
        R"(("TYPE" = 'A' AND "CODE" = 2) OR ("TYPE" = 'B' AND "CODE" = 2))))",
        {3, 5, 6}}});
}

TEST_F(UniqueValues, ClausesStayWholeUnderADefinitionExpression) {
  // The component puts "( definition) AND " in front of a class's clause without parentheses.
  const auto renderer =
      UniqueValue("TYPE").Class({"A"}, "A").Class({"B", "C"}, "B or C").Default("Rest").Build();
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  const Ids expected[] = {{1}, {3}, {6}};
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(Selected(table, "( CODE = 1) AND " + classes->WhereClause(i, table)), expected[i])
        << i;
  }
}

TEST_F(UniqueValues, OnlyADefaultClassSelectsEverything) {
  ExpectClasses(UniqueValue("TYPE").Default("All").Build(), table,
                {{"All", "1 = 1", {1, 2, 3, 4, 5, 6}}});
}

TEST_F(UniqueValues, ValuesAreNumberedAcrossClassesAndLabelledByTheirClass) {
  const auto renderer = gis::Require<gis::UniqueValueRenderer>(
      UniqueValue("TYPE").Class({"A"}, "A").Class({"B", "C"}, "B or C").Default("Rest").Build());
  EXPECT_EQ(renderer->FieldCount(), 1);
  EXPECT_EQ(renderer->Field(0), "TYPE");
  EXPECT_EQ(renderer->FieldDelimiter(), ", ");
  EXPECT_TRUE(renderer->UseDefaultSymbol());
  ASSERT_EQ(renderer->ValueCount(), 3);
  EXPECT_EQ(renderer->Value(2), "C");
  EXPECT_EQ(renderer->Label("C"), "B or C");
  EXPECT_EQ(gis::Require<gis::RendererClasses>(renderer)->ClassCount(), 3);

  renderer->SetLabel("C", "Bee or Cee");
  renderer->SetDefaultLabel("Others");
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  EXPECT_EQ(classes->Class(1), "Bee or Cee");
  EXPECT_EQ(renderer->Label("B"), "Bee or Cee");
  EXPECT_EQ(classes->Class(2), "Others");
  EXPECT_EQ(renderer->DefaultLabel(), "Others");
}

TEST_F(UniqueValues, WithoutDefaultSymbolEveryClassIsListed) {
  const auto renderer = UniqueValue("TYPE").Class({"A"}, "A").Class({"B"}, "B").Build();
  EXPECT_FALSE(gis::Require<gis::UniqueValueRenderer>(renderer)->UseDefaultSymbol());
  EXPECT_EQ(gis::Require<gis::RendererClasses>(renderer)->ClassCount(), 2);
}

TEST_F(UniqueValues, FailuresNameWhatIsWrong) {
  const auto renderer = UniqueValue("TYPE").Class({"A"}, "A").Default("Rest").Build();
  const auto values = gis::Require<gis::UniqueValueRenderer>(renderer);
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  const auto wrongField = UniqueValue("KIND").Class({"A"}, "A").Build();
  const auto twoFields = UniqueValue("TYPE", "CODE").Class({"A"}, "A").Build();
  struct Case {
    const char* what;
    std::function<void()> action;
    const char* message;
  };
  const Case cases[] = {
      {"unlisted value", [&] { values->Label("B"); }, "The value B is not listed in the renderer"},
      {"set unlisted", [&] { values->SetLabel("a", "x"); },
       "The value a is not listed in the renderer"},
      {"value index", [&] { values->Value(1); }, "Value index 1 is out of range (1 in all)"},
      {"field index", [&] { values->Field(1); },
       "Renderer field index 1 is out of range (1 in all)"},
      {"class index", [&] { classes->Class(2); }, "Class index 2 is out of range (2 in all)"},
      {"clause index", [&] { classes->WhereClause(-1, table); },
       "Class index -1 is out of range (2 in all)"},
      {"field not in table",
       [&] { gis::Require<gis::RendererClasses>(wrongField)->WhereClause(0, table); },
       "The renderer field KIND is not in the table"},
      {"value without a part per field",
       [&] { gis::Require<gis::RendererClasses>(twoFields)->WhereClause(0, table); },
       R"(The value A does not split into 2 parts by ", ")"},
      {"value listed twice",
       [&] { UniqueValue("TYPE").Class({"A"}, "1").Class({"A"}, "2").Build(); },
       "The value A is listed already"},
      {"class without values", [&] { UniqueValue("TYPE").Class({}, "none").Build(); },
       "A legend class needs at least one value"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorOf(c.action), c.message) << c.what;
}

TEST(UniqueValuesOnAJoin, QualifiedFieldsQuoteAsAliases) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Join(test::Owners(store), "OWNER_ID", "ID").Build();
  ExpectClasses(
      UniqueValue("owners.NAME").Class({"Ann"}, "Ann").Default("Rest").Build(),
      *layer->DisplayedTable(),
      {{"Ann", R"("owners.NAME" = 'Ann')", {1, 3}},
       {"Rest", R"(("owners.NAME" IS NULL OR NOT ("owners.NAME" = 'Ann')))", {2, 4, 5, 6}}});
}

class Breaks : public UniqueValues {};

TEST_F(Breaks, RangesIncludeTheirUpperBreakAndClassZeroItsMinimum) {
  // POP: 10, 250, 100, null, 400, 0.
  ExpectClasses(ClassBreaks("POP").Minimum(10).Break(100, "Few").Break(250, "Many").Build(), table,
                {{"Few", R"("POP" >= 10 AND "POP" <= 100)", {1, 3}},
                 {"Many", R"("POP" > 100 AND "POP" <= 250)", {2}}});
}

TEST_F(Breaks, BreaksAreWrittenExactlyAndKeepTheirOrder) {
  const auto renderer =
      ClassBreaks("POP").Minimum(-0.5).Break(0.1, "a").Break(1e21, "b").Break(50, "c").Build();
  const auto classes = gis::Require<gis::RendererClasses>(renderer);
  EXPECT_EQ(classes->WhereClause(0, table), R"("POP" >= -0.5 AND "POP" <= 0.1)");
  EXPECT_EQ(classes->WhereClause(1, table), R"("POP" > 0.1 AND "POP" <= 1e+21)");
  EXPECT_EQ(classes->WhereClause(2, table), R"("POP" > 1e+21 AND "POP" <= 50)");
  EXPECT_EQ(Selected(table, classes->WhereClause(0, table)), (Ids{6}));
  EXPECT_EQ(Selected(table, classes->WhereClause(2, table)), Ids{});
}

TEST_F(Breaks, BreaksAndLabelsByIndex) {
  const auto renderer = gis::Require<gis::ClassBreaksRenderer>(
      ClassBreaks("POP").Minimum(1).Break(100, "Few").Break(250, "Many").Build());
  EXPECT_EQ(renderer->Field(), "POP");
  EXPECT_EQ(renderer->MinimumBreak(), 1);
  ASSERT_EQ(renderer->BreakCount(), 2);
  EXPECT_EQ(renderer->Break(1), 250);
  renderer->SetLabel(1, "Lots");
  EXPECT_EQ(renderer->Label(1), "Lots");
  EXPECT_EQ(gis::Require<gis::RendererClasses>(renderer)->Class(1), "Lots");
  EXPECT_EQ(ErrorOf([&] { renderer->Break(2); }), "Break index 2 is out of range (2 in all)");
  EXPECT_EQ(ErrorOf([&] { renderer->SetLabel(-1, "x"); }),
            "Break index -1 is out of range (2 in all)");
  const auto roads = TableBuilder(store, "roads").Field("NAME", gis::kFieldString).Build();
  EXPECT_EQ(ErrorOf([&] { gis::Require<gis::RendererClasses>(renderer)->WhereClause(0, *roads); }),
            "The renderer field POP is not in the table");
}

TEST(Bivariate, KeepsBothRenderersAndCountsLegendRebuilds) {
  const auto main = UniqueValue("TYPE").Class({"A"}, "A");
  const auto renderer = Bivariate(main, ProportionalSymbol("POP")).Build();
  const auto bivariate = gis::Require<gis::BivariateRenderer>(renderer);
  EXPECT_TRUE(gis::Is<gis::UniqueValueRenderer>(bivariate->MainRenderer()));
  EXPECT_TRUE(gis::Is<ProportionalSymbolRenderer>(bivariate->SecondRenderer()));
  const auto counted = gis::Require<BivariateRenderer>(renderer);
  EXPECT_EQ(counted->LegendBuildCount(), 0);
  bivariate->CreateLegend();
  bivariate->CreateLegend();
  EXPECT_EQ(counted->LegendBuildCount(), 2);
}

// Which roles each kind of renderer offers: the component dispatches on these type tests.
TEST(RendererRoles, EachKindOffersItsOwnRoles) {
  struct Case {
    const char* kind;
    std::shared_ptr<gis::FeatureRenderer> renderer;
    bool simple, uniqueValue, classBreaks, bivariate, classes;
  };
  const auto uv = UniqueValue("TYPE").Class({"A"}, "A");
  const Case cases[] = {
      {"simple", Simple("All").Build(), true, false, false, false, false},
      {"unique value", uv.Build(), false, true, false, false, true},
      {"class breaks", ClassBreaks("POP").Break(1, "a").Build(), false, false, true, false, true},
      {"bivariate", Bivariate(uv, Simple()).Build(), false, false, false, true, false},
      {"proportional symbol", ProportionalSymbol("POP").Build(), false, false, false, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gis::Is<gis::SimpleRenderer>(c.renderer), c.simple) << c.kind;
    EXPECT_EQ(gis::Is<gis::UniqueValueRenderer>(c.renderer), c.uniqueValue) << c.kind;
    EXPECT_EQ(gis::Is<gis::ClassBreaksRenderer>(c.renderer), c.classBreaks) << c.kind;
    EXPECT_EQ(gis::Is<gis::BivariateRenderer>(c.renderer), c.bivariate) << c.kind;
    EXPECT_EQ(gis::Is<gis::RendererClasses>(c.renderer), c.classes) << c.kind;
  }
  EXPECT_EQ(gis::Require<gis::SimpleRenderer>(Simple("All").Build())->Label(), "All");
}

TEST(RendererRoles, OneObjectMayOfferTwoRendererRoles) {
  FeatureStore store;
  const std::shared_ptr<gis::FeatureRenderer> dual =
      std::make_shared<quillet::test::UniqueValueAndClassBreaks>();
  const auto layer = test::Parcels(store).Renderer(dual).Build();
  const auto renderer = gis::Require<gis::GeoFeatureLayer>(layer)->Renderer();
  ASSERT_TRUE(gis::Is<gis::UniqueValueRenderer>(renderer));
  ASSERT_TRUE(gis::Is<gis::ClassBreaksRenderer>(renderer));
  EXPECT_EQ(gis::Require<gis::UniqueValueRenderer>(renderer)->Label("A"), "Type A");
  EXPECT_EQ(gis::Require<gis::ClassBreaksRenderer>(renderer)->Label(0), "Up to 100");
  ExpectClasses(renderer, *layer->Table(), {{"Type A", R"("TYPE" = 'A')", {1, 4}}});
}

}  // namespace
}  // namespace quillet::platform
