#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/store/cell.h"
#include "platform/store/stored_value.h"
#include "platform_test_support.h"
#include "runtime/date.h"

namespace quillet::platform {
namespace {

using runtime::Variant;
using test::Ids;
using test::OnMixed;
using test::Selected;
using test::Why;

// One field of one type, one row, one value read back. (Cases are built inside the test:
// dates need the runtime's calendar, which is not ready during static initialisation.)
TEST(StoredValues, ReadBackByFieldType) {
  struct Case {
    const char* what;
    int32_t type;
    Cell stored;
    Variant expected;
  };
  const double may1 = runtime::DateSerial(1990, 5, 1);
  const Case cases[] = {
      {"small integer", gis::kFieldSmallInteger, 32767, Variant::Integer(32767)},
      {"small integer, too big", gis::kFieldSmallInteger, 32768, Variant::Long(32768)},
      {"small integer, below", gis::kFieldSmallInteger, -32769, Variant::Long(-32769)},
      {"integer, 32-bit top", gis::kFieldInteger, 2147483647L, Variant::Long(2147483647)},
      {"integer, 32-bit bottom", gis::kFieldInteger, -2147483648L, Variant::Long(-2147483647 - 1)},
      {"integer, above 32 bits", gis::kFieldInteger, 2147483648L, Variant::Double(2147483648.0)},
      {"integer, below 32 bits", gis::kFieldInteger, -2147483649L, Variant::Double(-2147483649.0)},
      {"integer, fractional value", gis::kFieldInteger, 2.5, Variant::Double(2.5)},
      {"integer, text", gis::kFieldInteger, "many", Variant::String("many")},
      {"text from number", gis::kFieldString, 12, Variant::String("12")},
      {"empty text", gis::kFieldString, "", Variant::String("")},
      {"date before 1899-12-30, with time", gis::kFieldDate, Cell::Date(1899, 12, 29, 6),
       Variant::Date(-1.25)},
      {"date from a Variant", gis::kFieldDate, Variant::Date(may1), Variant::Date(may1)},
      {"date field, other text", gis::kFieldDate, "soon", Variant::String("soon")},
      {"blob field, text", gis::kFieldBlob, "abc", Variant::Empty()},
      {"boolean Variant", gis::kFieldSmallInteger, Variant::Boolean(true), Variant::Integer(-1)},
      {"empty Variant", gis::kFieldDouble, Variant::Empty(), Variant::Null()},
  };
  FeatureStore store;
  int32_t n = 0;
  for (const auto& c : cases) {
    const auto table = TableBuilder(store, "t" + std::to_string(++n))
                           .Field("V", c.type)
                           .Rows({{c.stored}})
                           .Build();
    const auto row = table->Search(nullptr, false)->NextRow();
    ASSERT_TRUE(row) << c.what;
    EXPECT_EQ(row->Value(1), c.expected) << c.what;
  }
}

TEST(StoredDate, ReadsIsoTextAndNothingElse) {
  const double y2021 = runtime::DateSerial(2021, 2, 28);
  const std::pair<const char*, double> dates[] = {
      {"2021-02-28", y2021},
      {"2021-02-28 06:00", y2021 + 0.25},
      {"2021-02-28T06:00:00", y2021 + 0.25},
      {"2021-02-28T06:00:00.9Z", y2021 + 0.25},  // to the second
      {"2021-02-28T06:00:00+02:00", y2021 + 0.25},
      {"1899-12-30", 0.0},
      {"1899-12-29 06:00:00", -1.25},
  };
  for (const auto& [text, serial] : dates) {
    const auto parsed = ParseStoredDate(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_NEAR(*parsed, serial, 1e-9) << text;
  }
  for (const char* text :
       {"2021-02-29", "2021-13-01", "2021-00-10", "2021-1-1", "2021-02-28 24:00",
        "2021-02-28 23:60", "2021-02-28 06", "2021-02-28T06:00:00.", "2021-02-28 junk", ""})
    EXPECT_FALSE(ParseStoredDate(text)) << text;
}

TEST_F(OnMixed, WhereClausesRunAsSqliteReadsThem) {
  const Ids all{1, 2, 3, 4, 5, 6, 7};
  const test::Selects cases[] = {
      {R"("N" > 2)", {2, 4, 6, 7}},
      {"TYPE = 'O''Brien'", {6}},
      // The clause stands on lines of its own, so a comment cannot swallow the order.
      {"N > 2 -- a trailing comment", {2, 4, 6, 7}},
      // Dates are ISO text, which sorts like the dates; a null date stays null.
      {"D = '1990-01-01'", {2, 5}},
      {"D < '1990-01-02' AND D > '1990-01-01'", {7}},
      {"D IS NULL", {3}},
      {"", all},
      {"  \n\t", all},
  };
  for (const auto& [clause, ids] : cases)
    EXPECT_EQ(Selected(*table, clause), ids) << clause;
  EXPECT_EQ(test::IdsOf(*table->Search(nullptr, true)), all);
}

TEST_F(OnMixed, WhereClausesFailWithSqliteOwnDescription) {
  const std::pair<const char*, const char*> cases[] = {
      // Without the double-quoted-string fallback a misspelt quoted field is an error, not
      // the text "NOSUCHFIELD".
      {R"("NOSUCHFIELD" = 1)", "no such column: NOSUCHFIELD"},
      {"N >", "incomplete input"},
      // Only one statement runs: a clause that ends the query and starts another is refused.
      {"N > 1) ORDER BY 1; DELETE FROM mixed; SELECT (1", "near \")\": syntax error"},
  };
  for (const auto& [clause, message] : cases)
    EXPECT_EQ(Why([&] { Selected(*table, clause); }), message) << clause;
  EXPECT_EQ(Selected(*table, "").size(), 7u) << "a refused clause deleted rows";
}

TEST_F(OnMixed, FieldIndexesOutsideTheFieldsFail) {
  const auto fields = table->Fields();
  EXPECT_EQ(Why([&] { fields->Field(7); }), "Field index 7 is out of range (7 in all)");
  EXPECT_EQ(Why([&] { fields->Field(-1); }), "Field index -1 is out of range (7 in all)");
  const auto row = table->Search(nullptr, true)->NextRow();
  EXPECT_EQ(Why([&] { row->Value(7); }), "Field index 7 is out of range (7 in all)");
}

TEST(Table, ADeclaredObjectIdKeepsTheRowsIdsAndRowsComeInIdOrder) {
  FeatureStore store;
  const auto table = TableBuilder(store, "wells")
                         .Field("WELL_ID", gis::kFieldObjectId)
                         .Field("DEPTH", gis::kFieldDouble)
                         .Rows({{30, 12.5}, {10, nullptr}})
                         .Rows({{20, 1.0}})
                         .Build();
  EXPECT_EQ(table->FindField("WELL_ID"), 0);
  EXPECT_EQ(test::IdsOf(*table->Search(nullptr, true)), (Ids{10, 20, 30}));
}

TEST(Table, RefusesBadDefinitionsAndRows) {
  FeatureStore store;
  auto create = [&](const std::vector<FieldDefinition>& fields) {
    return Why([&] { store.CreateTable("t", fields); });
  };
  const std::string idFirst =
      "Table t needs its object id (type 6) as its first field, and only there";
  EXPECT_EQ(create({{"NAME", gis::kFieldString}, {"ID", gis::kFieldObjectId}}), idFirst);
  EXPECT_EQ(create({}), "Table t needs an object id field");
  EXPECT_EQ(create({{"ID", gis::kFieldObjectId}, {"X", 9}}), "Unknown field type 9");
  EXPECT_EQ(
      create({{"ID", gis::kFieldObjectId}, {"x", gis::kFieldString}, {"X", gis::kFieldString}}),
      "duplicate column name: X");
  EXPECT_EQ(store.Table("t"), nullptr);

  const auto table = TableBuilder(store, "u").Field("N", gis::kFieldInteger).Rows({{1}}).Build();
  auto insert = [&](const std::vector<std::vector<Cell>>& rows) {
    return Why([&] { table->Insert(rows); });
  };
  EXPECT_EQ(insert({{nullptr, 2}, {nullptr}}), "A row of table u needs 2 values, not 1");
  EXPECT_EQ(insert({{nullptr, 3}, {1, 4}}), "UNIQUE constraint failed: u.OBJECTID");
  EXPECT_EQ(test::IdsOf(*table->Search(nullptr, true)), (Ids{1})) << "a failed insert added rows";
  EXPECT_EQ(Why([&] { TableBuilder(store, "U").Field("N", gis::kFieldInteger).Build(); }),
            R"(table "U" already exists)");
  EXPECT_EQ(store.Table("U"), table);
}

}  // namespace
}  // namespace quillet::platform
