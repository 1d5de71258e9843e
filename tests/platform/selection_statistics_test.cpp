#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "platform/tables/selection_set.h"
#include "platform/tables/statistics.h"
#include "platform_test_support.h"

namespace quillet::platform {
namespace {

using test::Ids;
using test::IdsOf;
using test::OnMixed;
using test::Why;

TEST_F(OnMixed, ASelectionSetSearchesOnlyItsIdsUnderTheFilter) {
  layer->SetDefinitionSelection(std::vector<int64_t>{5, 2, 3, 2, 99});
  const auto set = layer->DefinitionSelectionSet();
  EXPECT_EQ(set->Count(), 4);  // 2 counts once; 99 is not in the table
  EXPECT_EQ(IdsOf(*set->Search(nullptr, false)), (Ids{2, 3, 5}));
  // The clause's OR must not reach past the ids.
  const QueryFilter either("TYPE IS NULL OR TYPE = 'A'");
  EXPECT_EQ(IdsOf(*set->Search(&either, true)), (Ids{5}));
  const QueryFilter bad("NOSUCHFIELD = 1");
  EXPECT_EQ(Why([&] { set->Search(&bad, true); }), "no such column: NOSUCHFIELD");

  layer->SetDefinitionSelection(std::vector<int64_t>{});
  EXPECT_EQ(layer->DefinitionSelectionSet()->Count(), 0);
  EXPECT_EQ(IdsOf(*layer->DefinitionSelectionSet()->Search(nullptr, true)), Ids{});
  layer->SetDefinitionSelection(std::nullopt);
  EXPECT_EQ(layer->DefinitionSelectionSet(), nullptr);
}

// The statistics of field V over one row per value (nullptr = null).
std::vector<double> StatisticsOfValues(const std::vector<Cell>& values, int32_t sampleRate = -1) {
  FeatureStore store;
  std::vector<std::vector<Cell>> rows;
  for (const auto& value : values)
    rows.push_back({value});
  const auto table = TableBuilder(store, "t").Field("V", gis::kFieldDouble).Rows(rows).Build();
  return test::StatisticsOf(table->Search(nullptr, true), "V", sampleRate);
}

TEST(Statistics, NullsSkippedPopulationDeviationZerosWhenNothingToCount) {
  struct Case {
    const char* what;
    std::vector<Cell> values;
    std::vector<double> expected;  // minimum, maximum, sum, mean, deviation
  };
  const Case cases[] = {
      {"four values", {1, 2, 3, 4}, {1, 4, 10, 2.5, std::sqrt(1.25)}},
      {"nulls skipped", {2, nullptr, 4, nullptr}, {2, 4, 6, 3, 1}},
      {"negative values", {-3, -1}, {-3, -1, -4, -2, 1}},
      {"one value", {7}, {7, 7, 7, 7, 0}},
      {"only nulls", {nullptr, nullptr}, {0, 0, 0, 0, 0}},
      {"no rows", {}, {0, 0, 0, 0, 0}},
      // Large values with a small spread: a sum-of-squares formula loses the spread.
      {"large values",
       {1e9 + 1, 1e9 + 2, 1e9 + 3},
       {1e9 + 1, 1e9 + 3, 3e9 + 6, 1e9 + 2, std::sqrt(2.0 / 3.0)}},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(StatisticsOfValues(c.values),
                ::testing::Pointwise(::testing::DoubleNear(1e-6), c.expected))
        << c.what;
  }
}

TEST(Statistics, SampleRateReadsTheFirstRowAndEveryRthAfterIt) {
  const std::vector<Cell> values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};  // row n holds n
  const std::pair<int32_t, double> sums[] = {{-1, 55}, {-7, 55}, {0, 55}, {1, 55},
                                             {2, 25},  {3, 22},  {10, 1}, {20, 1}};
  for (const auto& [rate, sum] : sums)
    EXPECT_EQ(StatisticsOfValues(values, rate)[2], sum) << rate;
  // A null in a sampled row is skipped; it is not replaced by the next row.
  EXPECT_EQ(StatisticsOfValues({nullptr, 2, 3, 4, 5}, 2)[2], 8);
}

class ForeignCursor : public gis::Cursor {
 public:
  std::shared_ptr<gis::Row> NextRow() override { return nullptr; }
};

TEST_F(OnMixed, StatisticsRefuseMissingOrUnsuitableInput) {
  struct Case {
    const char* field;
    std::shared_ptr<gis::Cursor> cursor;
    const char* message;
  };
  const Case cases[] = {
      {"", table->Search(nullptr, true), "The statistics have no field"},
      {"N", nullptr, "The statistics have no cursor"},
      {"SIZE", table->Search(nullptr, true),
       "The statistics field SIZE is not in the cursor's table"},
      {"TYPE", table->Search(nullptr, true),
       "Statistics need numbers, but field TYPE holds a String"},
      {"N", std::make_shared<ForeignCursor>(), "The statistics read only cursors of this platform"},
  };
  for (const auto& c : cases) {
    DataStatistics statistics;
    statistics.SetField(c.field);
    statistics.SetCursor(c.cursor);
    EXPECT_EQ(Why([&] { statistics.Statistics(); }), c.message);
  }
}

}  // namespace
}  // namespace quillet::platform
