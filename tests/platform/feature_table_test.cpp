#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/cell.h"
#include "platform/stored_value.h"
#include "platform_test_support.h"
#include "runtime/date.h"

namespace quillet::platform {
namespace {

using runtime::Variant;
using test::ErrorOf;
using test::Ids;
using test::Selected;

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
      {"integer, 2^53", gis::kFieldInteger, 9007199254740992L, Variant::Double(9007199254740992.0)},
      {"integer, fractional value", gis::kFieldInteger, 2.5, Variant::Double(2.5)},
      {"integer, text", gis::kFieldInteger, "many", Variant::String("many")},
      {"single", gis::kFieldSingle, 2.5, Variant::Single(2.5f)},
      {"single from integer", gis::kFieldSingle, 3, Variant::Single(3.0f)},
      {"double", gis::kFieldDouble, 0.1, Variant::Double(0.1)},
      {"double from integer", gis::kFieldDouble, 7, Variant::Double(7.0)},
      {"text", gis::kFieldString, "São Paulo", Variant::String("São Paulo")},
      {"text from number", gis::kFieldString, 12, Variant::String("12")},
      {"empty text", gis::kFieldString, "", Variant::String("")},
      {"date", gis::kFieldDate, Cell::Date(1990, 5, 1), Variant::Date(may1)},
      {"date and time", gis::kFieldDate, Cell::Date(1990, 5, 1, 18), Variant::Date(may1 + 0.75)},
      {"date before 1899-12-30, with time", gis::kFieldDate, Cell::Date(1899, 12, 29, 6),
       Variant::Date(-1.25)},
      {"date from ISO text", gis::kFieldDate, "1990-05-01T18:00:00Z", Variant::Date(may1 + 0.75)},
      {"date from a Variant", gis::kFieldDate, Variant::Date(may1), Variant::Date(may1)},
      {"date field, other text", gis::kFieldDate, "soon", Variant::String("soon")},
      {"geometry", gis::kFieldGeometry, Cell::Bytes("GP\x01"), Variant::Empty()},
      {"blob", gis::kFieldBlob, Cell::Bytes(std::string("\0\1", 2)), Variant::Empty()},
      {"blob field, text", gis::kFieldBlob, "abc", Variant::Empty()},
      {"boolean Variant", gis::kFieldSmallInteger, Variant::Boolean(true), Variant::Integer(-1)},
      {"null integer", gis::kFieldInteger, nullptr, Variant::Null()},
      {"null text", gis::kFieldString, nullptr, Variant::Null()},
      {"null date", gis::kFieldDate, nullptr, Variant::Null()},
      {"null geometry", gis::kFieldGeometry, nullptr, Variant::Null()},
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

TEST(StoredDate, TextRoundTrip) {
  struct Case {
    const char* text;
    std::optional<double> serial;
  };
  const double y2021 = runtime::DateSerial(2021, 2, 28);
  const Case cases[] = {
      {"2021-02-28", y2021},
      {"2021-02-28 06:00", y2021 + 0.25},
      {"2021-02-28T06:00:00", y2021 + 0.25},
      {"2021-02-28T06:00:00.5Z", y2021 + (6 * 3600 + 0.5) / 86400},
      {"2021-02-28T06:00:00+02:00", y2021 + 0.25},
      {"1899-12-30", 0.0},
      {"1899-12-29 06:00:00", -1.25},
      {"2021-02-29", std::nullopt},
      {"2021-13-01", std::nullopt},
      {"2021-00-10", std::nullopt},
      {"2021-1-1", std::nullopt},
      {"2021-02-28 24:00", std::nullopt},
      {"2021-02-28 23:60", std::nullopt},
      {"2021-02-28 06", std::nullopt},
      {"2021-02-28T06:00:00.", std::nullopt},
      {"2021-02-28 junk", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    const auto serial = ParseStoredDate(c.text);
    ASSERT_EQ(serial.has_value(), c.serial.has_value()) << c.text;
    if (serial) {
      EXPECT_NEAR(*serial, *c.serial, 1e-9) << c.text;
    }
  }
  EXPECT_EQ(FormatStoredDate(y2021), "2021-02-28");
  EXPECT_EQ(FormatStoredDate(y2021 + 0.75), "2021-02-28 18:00:00");
  EXPECT_EQ(FormatStoredDate(-1.25), "1899-12-29 06:00:00");
}

TEST(StoredDate, WhereClausesCompareDatesAsText) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  auto& table = *layer->Table();
  EXPECT_EQ(Selected(table, "BUILT >= '1990-01-01'"), (Ids{2, 3, 5, 6}));
  EXPECT_EQ(Selected(table, "BUILT = '1990-01-01'"), (Ids{2}));
  EXPECT_EQ(Selected(table, "BUILT < '1990-01-02' AND BUILT > '1990-01-01'"), (Ids{6}));
  EXPECT_EQ(Selected(table, "BUILT IS NULL"), (Ids{4}));
}

TEST(WhereClause, ThreeQuotingsOfAFieldSelectAlike) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  for (const char* clause : {R"("POP" > 50)", "[POP] > 50", "POP > 50", "pop > 50"})
    EXPECT_EQ(Selected(*layer->Table(), clause), (Ids{2, 3, 5})) << clause;
}

TEST(WhereClause, SqlOfTheClauseRunsAsWritten) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  struct Case {
    const char* clause;
    Ids ids;
  };
  const Case cases[] = {
      {"TYPE = 'O''Brien'", {6}},
      {"TYPE IN ('A', 'C')", {1, 3, 4}},
      {"TYPE LIKE 'o%'", {6}},
      {"POP IS NULL OR TYPE IS NULL", {4, 5}},
      {"NOT (POP > 50)", {1, 6}},
      {"( CODE = 1) AND ( ( POP <= 100 ) )", {1, 3, 6}},
      {"POP > 50 -- a trailing comment", {2, 3, 5}},
      {"POP\n>\n50", {2, 3, 5}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Selected(*layer->Table(), c.clause), c.ids) << c.clause;
}

TEST(WhereClause, NullFilterEmptyAndBlankClausesSelectAll) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  auto& table = *layer->Table();
  const Ids all{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(test::IdsOf(*table.Search(nullptr, true)), all);
  EXPECT_EQ(Selected(table, ""), all);
  EXPECT_EQ(Selected(table, "  \n\t"), all);
}

TEST(WhereClause, FailsWithSqliteOwnDescription) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  auto& table = *layer->Table();
  struct Case {
    const char* clause;
    const char* message;
  };
  const Case cases[] = {
      // Without the double-quoted-string fallback a misspelt quoted field is an error, not
      // the text "NOSUCHFIELD".
      {R"("NOSUCHFIELD" = 1)", "no such column: NOSUCHFIELD"},
      {"[NOSUCHFIELD] = 1", "no such column: NOSUCHFIELD"},
      {R"(TYPE = "A")", "no such column: A"},
      {"POP >", "incomplete input"},
      {"POP > 1)", "near \")\": syntax error"},
      {"TYPE = 'A", R"(unrecognized token: "'A")"},
      {"NOSUCHFUNCTION(POP) > 1", "no such function: NOSUCHFUNCTION"},
      // Only one statement runs: a clause that ends the query and starts another is refused.
      {"POP > 1) ORDER BY 1; DELETE FROM parcels; SELECT (1", "near \")\": syntax error"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorOf([&] { Selected(table, c.clause); }), c.message) << c.clause;
  EXPECT_EQ(Selected(table, "").size(), 6u) << "a refused clause deleted rows";
}

TEST(Cursor, RowsComeInObjectIdOrderWhateverTheInsertOrder) {
  FeatureStore store;
  const auto table = TableBuilder(store, "t")
                         .Field("FID", gis::kFieldObjectId)
                         .Field("NAME", gis::kFieldString)
                         .Rows({{30, "c"}, {10, "a"}, {20, "b"}})
                         .Build();
  EXPECT_EQ(test::IdsOf(*table->Search(nullptr, true)), (Ids{10, 20, 30}));
}

TEST(Cursor, RecyclingReusesOneRowObjectWithNewValues) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  const auto recycling = layer->Table()->Search(nullptr, true);
  const auto first = recycling->NextRow();
  const auto second = recycling->NextRow();
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->Value(0), Variant::Long(2));

  const auto fresh = layer->Table()->Search(nullptr, false);
  const auto one = fresh->NextRow();
  const auto two = fresh->NextRow();
  EXPECT_NE(one, two);
  EXPECT_EQ(one->Value(0), Variant::Long(1));
  EXPECT_EQ(two->Value(0), Variant::Long(2));
}

TEST(Cursor, StaysAtTheEndOnceThere) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  const QueryFilter filter("TYPE = 'B'");
  const auto cursor = layer->Table()->Search(&filter, true);
  EXPECT_TRUE(cursor->NextRow());
  EXPECT_FALSE(cursor->NextRow());
  EXPECT_FALSE(cursor->NextRow());
}

TEST(Table, FindsFieldsWithoutRegardToCase) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  const auto& table = *layer->Table();
  EXPECT_EQ(table.FindField("OBJECTID"), 0);
  EXPECT_EQ(table.FindField("pop"), 3);
  EXPECT_EQ(table.FindField("Built"), 5);
  EXPECT_EQ(table.FindField("POPULATION"), -1);
  EXPECT_EQ(table.FindField(R"("POP")"), -1);
  const auto fields = table.Fields();
  ASSERT_EQ(fields->FieldCount(), 6);
  const int32_t types[] = {gis::kFieldObjectId, gis::kFieldString,  gis::kFieldInteger,
                           gis::kFieldInteger,  gis::kFieldInteger, gis::kFieldDate};
  for (int32_t i = 0; i < 6; ++i)
    EXPECT_EQ(fields->Field(i)->Type(), types[i]) << i;
  EXPECT_EQ(fields->Field(1)->Name(), "TYPE");
}

TEST(Table, IndexesOutsideTheFieldsFail) {
  FeatureStore store;
  const auto layer = test::Parcels(store).Build();
  const auto fields = layer->Table()->Fields();
  EXPECT_EQ(ErrorOf([&] { fields->Field(6); }), "Field index 6 is out of range (6 in all)");
  EXPECT_EQ(ErrorOf([&] { fields->Field(-1); }), "Field index -1 is out of range (6 in all)");
  const auto row = layer->Table()->Search(nullptr, true)->NextRow();
  EXPECT_EQ(ErrorOf([&] { row->Value(6); }), "Field index 6 is out of range (6 in all)");
}

TEST(Table, RefusesBadDefinitionsAndRows) {
  FeatureStore store;
  const std::string idFirst =
      "Table t needs its object id (type 6) as its first field, and only there";
  EXPECT_EQ(ErrorOf([&] { store.CreateTable("t", {{"NAME", gis::kFieldString}}); }), idFirst);
  EXPECT_EQ(ErrorOf([&] {
              store.CreateTable("t", {{"NAME", gis::kFieldString}, {"ID", gis::kFieldObjectId}});
            }),
            idFirst);
  EXPECT_EQ(ErrorOf([&] { store.CreateTable("t", {}); }), "Table t needs an object id field");
  EXPECT_EQ(ErrorOf([&] {
              store.CreateTable("t", {{"ID", gis::kFieldObjectId}, {"X", 9}});
            }),
            "Unknown field type 9");
  EXPECT_EQ(
      ErrorOf([&] {
        store.CreateTable(
            "t", {{"ID", gis::kFieldObjectId}, {"x", gis::kFieldString}, {"X", gis::kFieldString}});
      }),
      "duplicate column name: X");

  const auto table = TableBuilder(store, "u").Field("N", gis::kFieldInteger).Rows({{1}}).Build();
  EXPECT_EQ(ErrorOf([&] {
              table->Insert({{nullptr, 2}, {nullptr}});
            }),
            "A row of table u needs 2 values, not 1");
  EXPECT_EQ(ErrorOf([&] {
              table->Insert({{nullptr, 3}, {1, 4}});
            }),
            "UNIQUE constraint failed: u.OBJECTID");
  EXPECT_EQ(test::IdsOf(*table->Search(nullptr, true)), (Ids{1})) << "a failed insert added rows";
  EXPECT_EQ(ErrorOf([&] { TableBuilder(store, "U").Field("N", gis::kFieldInteger).Build(); }),
            R"(table "U" already exists)");
}

TEST(Store, FindsItsTablesByName) {
  FeatureStore store;
  const auto owners = test::Owners(store);
  EXPECT_EQ(store.Table("OWNERS"), owners);
  EXPECT_EQ(store.Table("parcels"), nullptr);
}

}  // namespace
}  // namespace quillet::platform
