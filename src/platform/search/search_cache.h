#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "platform/search/search_rows.h"
#include "platform/store/engine.h"
#include "quillet/variant.h"

namespace quillet::platform {

/// The rows of a table's recent searches, by their full query text, so that the same search
/// again (the legend asks the same question once per field and again for the statistics)
/// reads them from memory instead of running the query once more.
///
/// A kept result serves only while the store's version is the one it was read under; any
/// change to the data or the schema makes every kept result stale. The cache holds at most
/// `kEntries` results and `budgetCells` values in all, dropping the least recently used, but
/// never the one used last: a result that does not fit beside it is not kept (the rows a
/// legend's classes are picked from stay, whatever the size of one class).
class SearchCache {
 public:
  static constexpr size_t kEntries = 4;
  /// 640 MB of values: five million rows of eight fields.
  static constexpr size_t kDefaultBudgetCells = size_t{40} << 20;

  explicit SearchCache(size_t budgetCells = kDefaultBudgetCells) : mBudgetCells(budgetCells) {}

  size_t BudgetCells() const { return mBudgetCells; }
  void SetBudgetCells(size_t cells);

  /// The kept rows of `sql`, read under `version`, or null.
  std::shared_ptr<const SearchRows> Find(const std::string& sql, const StoreVersion& version);
  /// Keeps the complete rows of `sql`, read under `version`, unless they exceed the budget.
  void Keep(const std::string& sql, const StoreVersion& version,
            std::shared_ptr<const SearchRows> rows);
  /// Forgets every kept result.
  void Clear();
  /// Remembers that the rows of `sql`, read under `version`, exceed the budget, so that
  /// nobody tries to keep them again while the store is unchanged.
  void MarkTooLarge(const std::string& sql, const StoreVersion& version);
  bool IsTooLarge(const std::string& sql, const StoreVersion& version) const;

  size_t EntryCount() const { return mEntries.size(); }

 private:
  struct Entry {
    std::string sql;
    StoreVersion version;
    std::shared_ptr<const SearchRows> rows;
  };
  void DropStale(const StoreVersion& version);

  size_t mBudgetCells;
  std::list<Entry> mEntries;                                  // most recently used first
  std::list<std::pair<std::string, StoreVersion>> mTooLarge;  // the latest few
};

/// A search being read for the first time: collects its rows as the cursor reads them and
/// hands them to the cache when the cursor reaches the end (not when it stops early, and not
/// once they outgrow the budget or the store changes meanwhile).
class SearchRecorder {
 public:
  /// `version` is the store's version when the search started.
  /// `stored` marks the columns the search reads (the others it selects as NULL).
  SearchRecorder(std::shared_ptr<SearchCache> cache, std::shared_ptr<Engine> engine,
                 std::string sql, const StoreVersion& version, const std::vector<bool>& stored);

  /// Room for the next row's values; null once recording has stopped.
  SearchRows* Rows() { return mRows.get(); }
  /// Called after each row's values were added (`added` false when some did not fit).
  void RowAdded(bool added);
  /// Called when the search has no more rows.
  void Finished();

 private:
  std::shared_ptr<SearchCache> mCache;
  std::shared_ptr<Engine> mEngine;
  std::string mSql;
  StoreVersion mVersion;
  std::shared_ptr<SearchRows> mRows;
};

}  // namespace quillet::platform
