#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/store/cell.h"
#include "platform_test_support.h"

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
  const Case cases[] = {
      {"small integer", gis::kFieldSmallInteger, 32767, Variant::Integer(32767)},
      {"small integer, too big", gis::kFieldSmallInteger, 32768, Variant::Long(32768)},
      {"integer, 32-bit top", gis::kFieldInteger, 2147483647L, Variant::Long(2147483647)},
      {"integer, 32-bit bottom", gis::kFieldInteger, -2147483648L, Variant::Long(-2147483647 - 1)},
      {"integer, above 32 bits", gis::kFieldInteger, 2147483648L, Variant::Double(2147483648.0)},
      {"integer, fractional value", gis::kFieldInteger, 2.5, Variant::Double(2.5)},
      {"integer, text", gis::kFieldInteger, "many", Variant::String("many")},
      {"text from number", gis::kFieldString, 12, Variant::String("12")},
      {"empty text", gis::kFieldString, "", Variant::String("")},
      {"date before 1899-12-30, with time", gis::kFieldDate, Cell::Date(1899, 12, 29, 6),
       Variant::Date(-1.25)},
      {"date field, other text", gis::kFieldDate, "soon", Variant::String("soon")},
      {"blob field, text", gis::kFieldBlob, "abc", Variant::Empty()},
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

// Nothing is created or added when SQLite refuses a table or a row.
TEST(Table, RefusesBadDefinitionsAndRows) {
  FeatureStore store;
  EXPECT_EQ(
      Why([&] {
        store.CreateTable(
            "t", {{"ID", gis::kFieldObjectId}, {"x", gis::kFieldString}, {"X", gis::kFieldString}});
      }),
      "duplicate column name: X");
  EXPECT_EQ(store.Table("t"), nullptr);

  const auto table = TableBuilder(store, "u").Field("N", gis::kFieldInteger).Rows({{1}}).Build();
  EXPECT_EQ(Why([&] {
              table->Insert({{nullptr, 3}, {1, 4}});
            }),
            "UNIQUE constraint failed: u.OBJECTID");
  EXPECT_EQ(test::IdsOf(*table->Search(nullptr, true)), (Ids{1})) << "a failed insert added rows";
  EXPECT_EQ(Why([&] { TableBuilder(store, "U").Field("N", gis::kFieldInteger).Build(); }),
            R"(table "U" already exists)");
  EXPECT_EQ(store.Table("U"), table);
}

}  // namespace
}  // namespace quillet::platform
