#include "labeler/verify_expression.h"

#include <gtest/gtest.h>

#include "support/labeling.h"

namespace quillet {
namespace {

using platform::Bivariate;
using platform::ClassBreaks;
using platform::Foreign;
using platform::Simple;
using platform::UniqueValue;
using runtime::MessageBox;
using test::Labeling;
using test::Parcels;

class Verification : public ::testing::Test {
 protected:
  // Verifies and returns the message; `valid` says what the result must be.
  std::string Verify(const LayerPtr& layer, std::string expression, bool valid) {
    const bool result = run.labeler.VerifyExpression(layer, expression) != 0;
    EXPECT_EQ(result, valid) << expression << ": " << run.labeler.Message();
    return run.labeler.Message();
  }
  Labeling run;
};

TEST_F(Verification, FieldChecksInTheirOrder) {
  const auto layer = platform::LayerBuilder(run.store, "towns")
                         .Field("TYPE", gis::kFieldString)
                         .Field("POP", gis::kFieldInteger)
                         .Field("BUILT", gis::kFieldDate)
                         .Field("SHAPE", gis::kFieldGeometry)
                         .Field("PHOTO", gis::kFieldBlob)
                         .Rows({{"A", 1, nullptr, platform::Cell::Bytes("g"), nullptr}})
                         .Build();
  const struct {
    const char* expression;
    bool valid;
    const char* message;
  } rows[] = {
      {"[TYPE].First [BUILT].Last [OBJECTID].Sum", true,
       "Successfully created formatting statement"},
      // The expression's own diagnostics pass through.
      {"Total", true, "Expression is Valid but contains no fields!"},
      {"[A", false, "Missing close bracket(\"]\") on field name."},
      {"[SHAPE].Count", false,
       "Field \"SHAPE\": geometry and blob field types are not supported by this tool!"},
      {"[PHOTO]", false,
       "Field \"PHOTO\": geometry and blob field types are not supported by this tool!"},
      {"[POP]", false, "Field \"POP\" does not have an appropriate summary method!"},
      {"[TYPE].Sum", false, "Field \"TYPE\" field type does not support selected summary method!"},
      {"[BUILT].Average", false,
       "Field \"BUILT\" field type does not support selected summary method!"},
      {"[POP].Sum [NOPE].Sum [TYPE]", false, "Field \"NOPE\" does not exist in attribute table!"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Verify(layer, row.expression, row.valid), row.message);
}

TEST_F(Verification, LayerAndRendererChecksComeFirst) {
  const auto proportional = Parcels(run.store).Renderer(Foreign("proportionalSymbol")).Build();
  EXPECT_EQ(Verify(proportional, "[", false),
            "Layer's legend must be a Simple, Unique Value, Graduated Color/Symbol, or "
            "Multi-Attribute type!");
  EXPECT_EQ(Verify(std::make_shared<test::PlainLayer>(), "x", false),
            "Layer must be a type of Geo-Feature Layer!");
  EXPECT_EQ(Verify(nullptr, "x", false), "Layer must be a type of Geo-Feature Layer!");
}

TEST_F(Verification, GroupedValuesAreRefused) {
  const std::string grouped =
      "Grouped Values Not Allowed!\r\n"
      "It appears that a number of legend values have been grouped to use the same symbol.\r\n"
      "Due to an issue with ESRI's implementation of grouping, this tool does not work with "
      "grouped values.\r\n\r\nPlease ungroup legend values and try again.";
  // Two values in one class, with a default class or without; then one value per class.
  const platform::UniqueValueBuilder renderers[] = {
      UniqueValue("TYPE").Class({"A", "B"}, "A or B").Default("rest"),
      UniqueValue("TYPE").Class({"A"}, "A").Class({"B", "C"}, "BC"),
      UniqueValue("TYPE").Class({"A"}, "A").Class({"B"}, "B").Default("C")};
  for (size_t i = 0; i < 3; ++i) {
    const auto layer =
        Parcels(run.store, "parcels" + std::to_string(i)).Renderer(renderers[i]).Build();
    EXPECT_EQ(Verify(layer, "[POP].Sum", i == 2),
              i < 2 ? grouped : "Successfully created formatting statement");
  }
}

TEST_F(Verification, JoinsNeedQualifiedFieldsAndOneRendererField) {
  const auto owners = platform::TableBuilder(run.store, "owners")
                          .Field("PID", gis::kFieldInteger)
                          .Field("OWNER", gis::kFieldString)
                          .Build();
  const auto oneField = Parcels(run.store)
                            .Join(owners, "OBJECTID", "PID")
                            .Renderer(UniqueValue("TYPE").Class({"A"}, "A"))
                            .Build();
  Verify(oneField, "[parcels.POP].Sum [owners.OWNER].First", true);
  EXPECT_EQ(Verify(oneField, "[POP].Sum", false),
            "Field \"POP\" must be qualified by its table name on a joined table, as in "
            "[parcels.POP]");

  const auto twoFields = Parcels(run.store, "parcels2")
                             .Join(owners, "OBJECTID", "PID")
                             .Renderer(UniqueValue("TYPE", "AREA").Class({"A, 1.5"}, "A"))
                             .Build();
  EXPECT_EQ(Verify(twoFields, "[parcels2.POP].Sum", false),
            "Joined tables are not supported with multi-field unique value legends!");
}

TEST_F(Verification, DelimitersFollowTheDataSourceCategory) {
  const struct {
    const char* category;
    const char* plain;
    const char* joined;
  } rows[] = {
      {"Personal Geodatabase", "[]", "\"\""},
      {"ESRI Personal Geodatabase Feature Class", "[]", "\"\""},
      {"Shapefile", "\"\"", "\"\""},
      {"shapefile", "\"\"", "\"\""},
      {"GeoPackage", "", ""},
  };
  for (const auto& row : rows) {
    platform::FeatureStore store;
    const auto layer = Parcels(store).Category(row.category).Build();
    QuilletState state = test::PlatformState();
    std::string expression = "[POP].Sum";
    ASSERT_TRUE(VerifyExpression(state, layer, expression, false, false)) << row.category;
    EXPECT_EQ(state.mFieldPrefix + state.mFieldSuffix, row.plain) << row.category;
    EXPECT_EQ(state.mJoinFieldPrefix + state.mJoinFieldSuffix, row.joined) << row.category;
  }
}

TEST_F(Verification, BoxesOnlyWhenMessagesAreShownAndTheSampleRunEmptiesTheLabels) {
  const auto layer = Parcels(run.store).Renderer(Simple("All")).Build();
  ASSERT_TRUE(run.Make(layer, "[POP].Sum"));
  ASSERT_EQ(run.labeler.Labels()->Count(), 1);
  std::string expression = "[POP].Sum";
  EXPECT_EQ(run.labeler.VerifyExpression(layer, expression, -1, -1), -1);
  EXPECT_EQ(run.labeler.Labels()->Count(), 0);
  std::string bad = "[NOPE].Sum";
  EXPECT_EQ(run.labeler.VerifyExpression(layer, bad, -1, -1), 0);
  EXPECT_TRUE(run.boxes->Boxes().empty());

  run.labeler.ShowMessages(runtime::kComTrue);
  EXPECT_EQ(run.labeler.VerifyExpression(layer, bad), 0);
  EXPECT_EQ(run.labeler.VerifyExpression(layer, expression), -1);  // valid, no sample: no box
  ASSERT_EQ(run.boxes->Boxes().size(), 1u);
  EXPECT_EQ(run.boxes->Boxes()[0], (MessageBox{"Field \"NOPE\" does not exist in attribute table!",
                                               "Invalid Expression!", 16}));
}

TEST_F(Verification, SampleLabelAndInstructions) {
  const auto layer = Parcels(run.store).Renderer(Simple("All")).Build();
  run.labeler.ShowMessages(runtime::kComTrue);
  std::string expression = "Pop: [POP].Sum.FormatNumber(0).Mid(1,3) $$LABEL";
  ASSERT_EQ(run.labeler.VerifyExpression(layer, expression, -1, -1), -1) << run.labeler.Message();
  ASSERT_EQ(run.boxes->Boxes().size(), 1u);
  EXPECT_EQ(run.boxes->Boxes()[0].title, "Valid Expression");
  EXPECT_EQ(run.boxes->Boxes()[0].style, 64);
  // Sample rate 10 reads every tenth row for the statistics: here only the first, POP 10.
  EXPECT_EQ(run.boxes->Boxes()[0].text,
            "SAMPLE LABEL: Pop: 10 All\r\n\r\n"
            "Labeling Instructions:\r\n"
            "\tPUT\tTEXT:\"Pop: \"\r\n"
            "\tAND\tFIELD:POP,Sum\r\n"
            "\t\t\tFORMAT:FormatNumber,0,\r\n"
            "\t\t\tFORMAT:Mid,1,3\r\n"
            "\tAND\tTEXT:\" \"\r\n"
            "\tAND\tLEGEND:LABEL\r\n");
  EXPECT_EQ(run.labeler.Message(), "Successfully created formatting statement");
}

TEST_F(Verification, SampleLabelsShowTheFirstLegendEntryOfEachKind) {
  run.labeler.ShowMessages(runtime::kComTrue);
  int layers = 0;
  const auto sampleOf = [&](const platform::RendererBuilder& renderer) {
    const auto layer =
        Parcels(run.store, "parcels" + std::to_string(++layers)).Renderer(renderer).Build();
    std::string expression = "<$$VALUE|$$LABEL>";
    EXPECT_EQ(run.labeler.VerifyExpression(layer, expression, -1), -1) << run.labeler.Message();
    return run.boxes->Boxes().back().text;
  };
  EXPECT_EQ(sampleOf(UniqueValue("TYPE").Class({"B"}, "Type B").Default("rest")),
            "SAMPLE LABEL: <B|Type B>\r\n\r\n");
  EXPECT_EQ(sampleOf(ClassBreaks("AREA").Break(2.5, "small")), "SAMPLE LABEL: <2.5|small>\r\n\r\n");
  EXPECT_EQ(sampleOf(Bivariate(UniqueValue("TYPE").Class({"B"}, "B"), Simple())),
            "SAMPLE LABEL: <|>\r\n\r\n");
  EXPECT_EQ(sampleOf(Simple("one")), "SAMPLE LABEL: <|one>\r\n\r\n");
}

}  // namespace
}  // namespace quillet
