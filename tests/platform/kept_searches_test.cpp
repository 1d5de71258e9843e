#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/search/class_clause.h"
#include "platform/store/sql_text.h"
#include "platform/tables/cursor.h"
#include "platform_test_support.h"

namespace quillet::platform {
namespace {

using test::Ids;
using test::Selected;
using test::Why;

// What SQLite itself selects, with nothing kept and no shortcut.
Ids SqliteSelects(const FeatureTable& table, const std::string& clause) {
  const auto rows =
      table.Database()->Query("SELECT OBJECTID FROM " + QuoteIdentifier(table.Name()) +
                              " WHERE (\n" + clause + "\n) ORDER BY 1");
  Ids ids;
  while (rows->Next())
    ids.push_back(static_cast<int64_t>(rows->Value(0, gis::kFieldDouble).NumericValue()));
  return ids;
}

// A break in the object's locale read back whole is shown by the class breaks labels in de-DE
// and ar-EG; here the forms those labels do not reach.
TEST(ClassClause, RangesInALocaleAreReadAsSql) {
  const auto in = [](const char* name) { return runtime::Locale::FromName(name); };
  const struct {
    runtime::Locale locale;
    const char* clause;
    const char* sql;
  } cases[] = {
      {in("de-DE"), "( X > -1,5E+20 AND X <= 1E-05 )", "( X > -1.5E+20 AND X <= 1E-05 )"},
      // fr-FR groups with a narrow no-break space, which SQL has no other use for.
      {in("fr-FR"), "( [X] > 1\u202F234,5 AND [X] <= 2\u202F000 )",
       "( [X] > 1234.5 AND [X] <= 2000 )"},
      // The definition is the user's SQL; names and text in quotes are no numbers.
      {in("de-DE"), "( substr(TYPE,1,2) = '1,5') AND ( ( \"X,1\" <= 0,5 ) )",
       "( substr(TYPE,1,2) = '1,5') AND ( ( \"X,1\" <= 0.5 ) )"},
      // Not a range, so perhaps SQL of the user's: a unique value, a definition alone.
      {in("de-DE"), "X <= 1,5 OR X > 2,5", "X <= 1,5 OR X > 2,5"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WithSqlNumbers(c.clause, c.locale), c.sql) << c.clause;
}

class KeptSearches : public test::OnMixed {};

// The clauses of the shape a legend asks are answered from rows kept under their definition;
// SQL answers the others. Either way the rows must be SQLite's, and again when kept, with the
// columns compared indexed as on a big table.
TEST_F(KeptSearches, SelectExactlyWhatSqliteSelects) {
  table->Indexes().SetMinimumRows(0);
  const char* clauses[] = {
      "\"TYPE\" = 'A'", "[type] = 'a'", "TYPE = 'O''Brien'", "  TYPE == ''  ",
      "( X > 1 OR X IS NULL) AND \"TYPE\" = 'A'", "( D >= '1990-01-01') AND \"TYPE\" = 'A'",
      "( \"N\" <= 2 )", "( \"N\" > -2 AND \"n\" <= 2.5 )", "( \"N\" > 2.5 AND \"N\" <= 10 )",
      "\"N\" <= 0x3", "( ')' = X) AND ( ( \"X\" > 0 AND \"X\" <= 1e1 ) )",
      "( D >= '1990-01-01') AND ( ( \"X\" > 0 AND \"X\" <= 3 ) )",
      // Values a plain comparison would judge differently: text and 2^60 in an integer field.
      "\"M\" <= 4", "( \"M\" > 3 AND \"M\" <= 1152921504606846976 )",
      // Not the shape: an OR, a comment, text against a number, a range on text, a single (read
      // back rounded), a date (read back as a serial), two fields, other operators.
      "\"TYPE\" = 'A' OR \"TYPE\" = 'B'", "( 1) OR (1) AND \"TYPE\" = 'A'",
      "( X > 1 -- note\n) AND \"TYPE\" = 'A'", "\"N\" = 'A'", "\"TYPE\" <= 3", "\"S\" <= 0.1",
      "\"D\" = '1990-01-01'", "\"N\" > 1 AND \"X\" <= 3", "\"N\" >= 1", "\"N\" < 1",
      // The clause stands on lines of its own, so a comment cannot swallow the rest; dates are
      // ISO text, which sorts like the dates.
      "N > 2 -- a trailing comment", "D < '1990-01-02' AND D > '1990-01-01'", "D IS NULL"};
  for (const char* clause : clauses) {
    const Ids expected = SqliteSelects(*table, clause);
    EXPECT_EQ(Selected(*table, clause), expected) << clause;
    EXPECT_EQ(Selected(*table, clause), expected) << clause << " (again, kept)";
  }
}

TEST_F(KeptSearches, NeverServeRowsFromBeforeAChange) {
  for (const char* clause : {"\"TYPE\" = 'A'", "TYPE IN ('A', 'C')", "( \"N\" <= 3 )"}) {
    const Ids before = Selected(*table, clause);
    table->Insert({{nullptr, "A", 1, 1, 1.0, 1.0, nullptr}});
    const Ids afterInsert = Selected(*table, clause);
    EXPECT_EQ(afterInsert.size(), before.size() + 1) << clause;
    EXPECT_EQ(afterInsert, SqliteSelects(*table, clause)) << clause;
    // Changes made with SQL directly count as well.
    store.Connection()->Execute("UPDATE mixed SET TYPE = 'C', N = 1 WHERE TYPE = 'A'");
    EXPECT_EQ(Selected(*table, clause), SqliteSelects(*table, clause)) << clause;
    store.Connection()->Execute("UPDATE mixed SET TYPE = 'A' WHERE TYPE = 'C'");
    EXPECT_EQ(Selected(*table, clause), SqliteSelects(*table, clause)) << clause;
  }
}

TEST_F(KeptSearches, KeepOnlySearchesReadToTheEndAndWithinBudget) {
  SearchCache& kept = table->RecentSearches();
  const QueryFilter filter("TYPE IN ('A', 'B')");

  auto partial = table->Search(&filter, true);
  ASSERT_TRUE(partial->NextRow());
  partial.reset();
  EXPECT_EQ(kept.EntryCount(), 0u);

  EXPECT_EQ(test::IdsOf(*table->Search(&filter, true)), (Ids{1, 2, 4, 7}));
  EXPECT_EQ(kept.EntryCount(), 1u);

  // 7 rows of 7 values exceed a budget of 30 values: not kept, the same rows.
  kept.SetBudgetCells(30);
  EXPECT_EQ(kept.EntryCount(), 0u);
  EXPECT_EQ(Selected(*table, "TYPE IN ('A', 'B')"), (Ids{1, 2, 4, 7}));
  EXPECT_EQ(Selected(*table, "\"TYPE\" = 'A'"), (Ids{1, 4, 7}));
  EXPECT_EQ(Selected(*table, "  \n\t"), (Ids{1, 2, 3, 4, 5, 6, 7}));
  // The 4 rows of the first clause (28 values) fit; the 3 of the second (21) do not fit beside
  // them and are not kept; all 7 rows never fit.
  EXPECT_EQ(kept.EntryCount(), 1u);
}

TEST_F(KeptSearches, KeptRowsReadLikeFreshOnes) {
  const QueryFilter filter("( X > 0.5) AND \"TYPE\" = 'A'");
  // Every value of every row, the row object perhaps recycled.
  auto read = [&](bool recycling) {
    const auto cursor = table->Search(&filter, recycling);
    std::vector<std::vector<runtime::Variant>> values;
    while (const auto row = cursor->NextRow()) {
      values.emplace_back();
      for (int32_t i = 0; i < 7; ++i)
        values.back().push_back(row->Value(i));
    }
    EXPECT_FALSE(cursor->NextRow());  // still null after the end
    return values;
  };
  table->RecentSearches().SetBudgetCells(0);
  const auto fresh = read(false);
  ASSERT_EQ(fresh.size(), 2u);  // rows 4 and 7
  table->RecentSearches().SetBudgetCells(SearchCache::kDefaultBudgetCells);
  EXPECT_EQ(read(true), fresh);  // kept as it is read
  EXPECT_EQ(read(false), fresh);
  EXPECT_EQ(read(true), fresh);
  EXPECT_EQ(Why([&] { table->Search(&filter, true)->NextRow()->Value(7); }),
            "Field index 7 is out of range (7 in all)");
}

}  // namespace
}  // namespace quillet::platform
