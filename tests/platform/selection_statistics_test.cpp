#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/object_factory.h"
#include "platform/selection_set.h"
#include "platform/statistics.h"
#include "platform_test_support.h"

namespace quillet::platform {
namespace {

using test::ErrorOf;
using test::Ids;

TEST(SelectionSet, SearchesOnlyItsIdsWithTheFilter) {
  FeatureStore store;
  const auto layer = test::Parcels(store).DefinitionSelection({5, 2, 3, 2, 99}).Build();
  const auto set = layer->DefinitionSelectionSet();
  ASSERT_TRUE(set);
  EXPECT_EQ(set->Count(), 4);  // 2 counts once; 99 is not in the table
  struct Case {
    const char* clause;
    Ids ids;
  };
  const Case cases[] = {
      {"", {2, 3, 5}},
      {"POP > 200", {2, 5}},
      {"TYPE IS NULL OR TYPE = 'A'", {5}},
      {"POP > 1000", {}},
  };
  for (const auto& c : cases) {
    const QueryFilter filter(c.clause);
    EXPECT_EQ(test::IdsOf(*set->Search(&filter, true)), c.ids) << c.clause;
  }
  EXPECT_EQ(test::IdsOf(*set->Search(nullptr, false)), (Ids{2, 3, 5}));
  EXPECT_EQ(ErrorOf([&] {
              const QueryFilter bad("NOSUCHFIELD = 1");
              set->Search(&bad, true);
            }),
            "no such column: NOSUCHFIELD");
}

TEST(SelectionSet, OverAJoinTakesQualifiedClausesAndNumbersFieldsAsTheJoin) {
  FeatureStore store;
  const auto layer = test::Parcels(store)
                         .Join(test::Owners(store), "OWNER_ID", "ID")
                         .DefinitionSelection({1, 2, 6})
                         .Build();
  const QueryFilter filter("\"owners.NAME\" IS NOT NULL AND parcels.POP >= 10");
  const auto cursor = layer->DefinitionSelectionSet()->Search(&filter, true);
  const int32_t name = layer->DisplayedTable()->FindField("owners.NAME");
  std::vector<std::string> names;
  while (const auto row = cursor->NextRow())
    names.push_back(row->Value(name).AsString());
  EXPECT_EQ(names, (std::vector<std::string>{"Ann", "Bob"}));
}

TEST(SelectionSet, EmptySetSelectsNothing) {
  FeatureStore store;
  const auto layer = test::Parcels(store).DefinitionSelection({}).Build();
  EXPECT_EQ(layer->DefinitionSelectionSet()->Count(), 0);
  EXPECT_EQ(test::IdsOf(*layer->DefinitionSelectionSet()->Search(nullptr, true)), Ids{});
}

// Statistics of field V over a one-column table of these values (nullopt = null).
struct Summary {
  double minimum, maximum, sum, mean, deviation;
};

Summary StatisticsOf(const std::vector<Cell>& values, int32_t sampleRate = -1,
                     int32_t type = gis::kFieldDouble) {
  FeatureStore store;
  std::vector<std::vector<Cell>> rows;
  for (const auto& value : values)
    rows.push_back({value});
  const auto table = TableBuilder(store, "t").Field("V", type).Rows(rows).Build();
  ObjectFactory factory;
  const auto statistics = factory.CreateDataStatistics();
  statistics->SetSampleRate(sampleRate);
  statistics->SetField("V");
  statistics->SetCursor(table->Search(nullptr, true));
  const auto results = statistics->Statistics();
  return {results->Minimum(), results->Maximum(), results->Sum(), results->Mean(),
          results->StandardDeviation()};
}

void ExpectSummary(const Summary& actual, const Summary& expected, const std::string& what) {
  EXPECT_DOUBLE_EQ(actual.minimum, expected.minimum) << what;
  EXPECT_DOUBLE_EQ(actual.maximum, expected.maximum) << what;
  EXPECT_DOUBLE_EQ(actual.sum, expected.sum) << what;
  EXPECT_DOUBLE_EQ(actual.mean, expected.mean) << what;
  EXPECT_NEAR(actual.deviation, expected.deviation, 1e-9) << what;
}

TEST(Statistics, NullsSkippedPopulationDeviationZerosWhenNothingToCount) {
  struct Case {
    const char* what;
    std::vector<Cell> values;
    Summary expected;
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
  for (const auto& c : cases)
    ExpectSummary(StatisticsOf(c.values), c.expected, c.what);
}

TEST(Statistics, ReadsEveryKindOfNumericField) {
  for (const int32_t type :
       {gis::kFieldSmallInteger, gis::kFieldInteger, gis::kFieldSingle, gis::kFieldDouble}) {
    ExpectSummary(StatisticsOf({1, 2, 6}, -1, type), {1, 6, 9, 3, std::sqrt(14.0 / 3.0)},
                  "type " + std::to_string(type));
  }
  ExpectSummary(StatisticsOf({3000000000L, 1}, -1, gis::kFieldInteger),
                {1, 3e9, 3000000001.0, 1500000000.5, 1499999999.5}, "beyond 32 bits");
}

TEST(Statistics, SampleRateReadsTheFirstRowAndEveryRthAfterIt) {
  // Values 1..10 in rows 1..10.
  const std::vector<Cell> values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  struct Case {
    int32_t rate;
    double minimum, maximum, sum;
  };
  const Case cases[] = {
      {-1, 1, 10, 55}, {-7, 1, 10, 55}, {0, 1, 10, 55}, {1, 1, 10, 55},
      {2, 1, 9, 25},   {3, 1, 10, 22},  {10, 1, 1, 1},  {20, 1, 1, 1},
  };
  for (const auto& c : cases) {
    const Summary s = StatisticsOf(values, c.rate);
    EXPECT_EQ(s.minimum, c.minimum) << c.rate;
    EXPECT_EQ(s.maximum, c.maximum) << c.rate;
    EXPECT_EQ(s.sum, c.sum) << c.rate;
  }
  // A null in a sampled row is skipped; it is not replaced by the next row.
  EXPECT_EQ(StatisticsOf({nullptr, 2, 3, 4, 5}, 2).sum, 8);
}

TEST(Statistics, KeepsItsResultsUntilTheInputChanges) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  DataStatistics statistics;
  statistics.SetField("POP");
  statistics.SetCursor(layer->Table()->Search(nullptr, true));
  EXPECT_EQ(statistics.Statistics()->Sum(), 760);
  EXPECT_EQ(statistics.Statistics()->Sum(), 760) << "a second read gave a consumed cursor's";
  statistics.SetField("CODE");
  statistics.SetCursor(layer->Table()->Search(nullptr, true));
  EXPECT_EQ(statistics.Statistics()->Sum(), 10);
}

TEST(Statistics, JoinedFieldsByQualifiedName) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Join(test::Owners(store), "OWNER_ID", "ID").Build();
  DataStatistics statistics;
  statistics.SetField("owners.POP");
  statistics.SetCursor(layer->DisplayedTable()->Search(nullptr, true));
  EXPECT_EQ(statistics.Statistics()->Sum(), 5 + 7 + 5);
}

class ForeignCursor : public gis::Cursor {
 public:
  std::shared_ptr<gis::Row> NextRow() override { return nullptr; }
};

TEST(Statistics, RefusesMissingOrUnsuitableInput) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  const auto table = layer->Table();
  struct Case {
    const char* what;
    const char* field;
    std::shared_ptr<gis::Cursor> cursor;
    const char* message;
  };
  const Case cases[] = {
      {"no field", "", table->Search(nullptr, true), "The statistics have no field"},
      {"no cursor", "POP", nullptr, "The statistics have no cursor"},
      {"unknown field", "SIZE", table->Search(nullptr, true),
       "The statistics field SIZE is not in the cursor's table"},
      {"text field", "TYPE", table->Search(nullptr, true),
       "Statistics need numbers, but field TYPE holds a String"},
      {"date field", "BUILT", table->Search(nullptr, true),
       "Statistics need numbers, but field BUILT holds a Date"},
      {"cursor of another platform", "POP", std::make_shared<ForeignCursor>(),
       "The statistics read only cursors of this platform"},
  };
  for (const auto& c : cases) {
    DataStatistics statistics;
    statistics.SetField(c.field);
    statistics.SetCursor(c.cursor);
    EXPECT_EQ(ErrorOf([&] { statistics.Statistics(); }), c.message) << c.what;
  }
}

TEST(ObjectFactory, MakesFiltersAndStatisticsOfThisPlatform) {
  ObjectFactory factory;
  const auto filter = factory.CreateQueryFilter();
  EXPECT_EQ(filter->WhereClause(), "");
  filter->SetWhereClause("POP > 1");
  EXPECT_EQ(filter->WhereClause(), "POP > 1");
  EXPECT_NE(factory.CreateQueryFilter(), filter);
  EXPECT_TRUE(gis::Is<DataStatistics>(factory.CreateDataStatistics()));
}

}  // namespace
}  // namespace quillet::platform
