#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/builders/layer_builder.h"
#include "platform/layers/feature_layer.h"
#include "platform/store/feature_store.h"
#include "platform/tables/query_filter.h"
#include "platform/tables/statistics.h"
#include "quillet/gis/table.h"
#include "quillet/variant.h"
#include "support/error_of.h"
#include "support/printing.h"

namespace quillet::platform::test {

using quillet::test::Why;

using Ids = std::vector<int64_t>;

/// The object ids (field 0) of the rows a cursor yields, in order.
inline std::vector<int64_t> IdsOf(gis::Cursor& cursor) {
  std::vector<int64_t> ids;
  while (const auto row = cursor.NextRow())
    ids.push_back(static_cast<int64_t>(row->Value(0).NumericValue()));
  return ids;
}

/// The object ids of the rows that a where clause selects from a table.
inline std::vector<int64_t> Selected(gis::Table& table, const std::string& whereClause) {
  const QueryFilter filter(whereClause);
  return IdsOf(*table.Search(&filter, true));
}

/// Each field's name and type code, in order.
inline std::vector<std::pair<std::string, int32_t>> FieldsOf(const gis::Table& table) {
  std::vector<std::pair<std::string, int32_t>> fields;
  const auto list = table.Fields();
  for (int32_t i = 0; i < list->FieldCount(); ++i)
    fields.emplace_back(list->Field(i)->Name(), list->Field(i)->Type());
  return fields;
}

/// Minimum, maximum, sum, mean and standard deviation of a field over a cursor's rows.
inline std::vector<double> StatisticsOf(std::shared_ptr<gis::Cursor> cursor,
                                        const std::string& field, int32_t sampleRate = -1) {
  DataStatistics statistics;
  statistics.SetSampleRate(sampleRate);
  statistics.SetField(field);
  statistics.SetCursor(std::move(cursor));
  const auto results = statistics.Statistics();
  return {results->Minimum(), results->Maximum(), results->Sum(), results->Mean(),
          results->StandardDeviation()};
}

/// Values that SQLite and a plain comparison could judge differently: text in an integer
/// field, 2^60, a single, dates with and without a time, a null TYPE, an apostrophe.
///   OBJECTID TYPE     N     M           X     S    D
///   1        A        1     1           0.5   0.1  1985-06-01
///   2        B        3     abc         2.5   0.2  1990-01-01
///   3        a        null  2^60        null  0.3  null
///   4        A        2.5   4           10    null 2001-01-01
///   5        null     -2    5           3     0.1  1990-01-01
///   6        O'Brien  10    null        1     0.5  1999-12-31
///   7        A        3     3           2.5   0.2  1990-01-01 12:00:00
inline LayerBuilder Mixed(FeatureStore& store) {
  LayerBuilder builder(store, "mixed");
  builder.Field("TYPE", gis::kFieldString)
      .Field("N", gis::kFieldInteger)
      .Field("M", gis::kFieldInteger)
      .Field("X", gis::kFieldDouble)
      .Field("S", gis::kFieldSingle)
      .Field("D", gis::kFieldDate)
      .Rows({{"A", 1, 1, 0.5, 0.1, Cell::Date(1985, 6, 1)},
             {"B", 3, "abc", 2.5, 0.2, Cell::Date(1990, 1, 1)},
             {"a", nullptr, 1152921504606846976LL, nullptr, 0.3, nullptr},
             {"A", 2.5, 4, 10, nullptr, Cell::Date(2001, 1, 1)},
             {nullptr, -2, 5, 3, 0.1, Cell::Date(1990, 1, 1)},
             {"O'Brien", 10, nullptr, 1, 0.5, Cell::Date(1999, 12, 31)},
             {"A", 3, 3, 2.5, 0.2, Cell::Date(1990, 1, 1, 12)}});
  return builder;
}

/// Owners keyed by ID, which joins the mixed rows by object id; N is also a column of the mixed
/// rows, NAME only of the owners.
///   OBJECTID ID NAME N
///   1        1  Ann  5
///   2        2  Bob  7
///   3        3  Cy   null
inline std::shared_ptr<FeatureTable> Owners(FeatureStore& store) {
  return TableBuilder(store, "owners")
      .Field("ID", gis::kFieldInteger)
      .Field("NAME", gis::kFieldString)
      .Field("N", gis::kFieldInteger)
      .Rows({{1, "Ann", 5}, {2, "Bob", 7}, {3, "Cy", nullptr}})
      .Build();
}

/// The mixed layer, fresh for each test.
class OnMixed : public ::testing::Test {
 protected:
  FeatureStore store;
  std::shared_ptr<FeatureLayer> layer = Mixed(store).Build();
  std::shared_ptr<FeatureTable> table = layer->Table();
};

}  // namespace quillet::platform::test
