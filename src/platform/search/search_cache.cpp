#include "platform/search/search_cache.h"

namespace quillet::platform {

void SearchCache::SetBudgetCells(size_t cells) {
  mBudgetCells = cells;
  Clear();
}

void SearchCache::Clear() {
  mEntries.clear();
  mTooLarge.clear();
}

void SearchCache::DropStale(const StoreVersion& version) {
  std::erase_if(mEntries, [&](const Entry& entry) { return !(entry.version == version); });
}

std::shared_ptr<const SearchRows> SearchCache::Find(const std::string& sql,
                                                    const StoreVersion& version) {
  DropStale(version);
  for (auto entry = mEntries.begin(); entry != mEntries.end(); ++entry) {
    if (entry->sql != sql) continue;
    mEntries.splice(mEntries.begin(), mEntries, entry);
    return mEntries.front().rows;
  }
  return nullptr;
}

void SearchCache::Keep(const std::string& sql, const StoreVersion& version,
                       std::shared_ptr<const SearchRows> rows) {
  DropStale(version);
  std::erase_if(mEntries, [&](const Entry& entry) { return entry.sql == sql; });
  const size_t beside = mEntries.empty() ? 0 : mEntries.front().rows->CellCount();
  if (rows->CellCount() + beside > mBudgetCells) return;
  mEntries.push_front({sql, version, std::move(rows)});
  size_t cells = 0;
  size_t kept = 0;
  for (auto entry = mEntries.begin(); entry != mEntries.end(); ++entry) {
    cells += entry->rows->CellCount();
    if (++kept > kEntries || cells > mBudgetCells) {
      mEntries.erase(entry, mEntries.end());
      break;
    }
  }
}

void SearchCache::MarkTooLarge(const std::string& sql, const StoreVersion& version) {
  mTooLarge.emplace_front(sql, version);
  if (mTooLarge.size() > kEntries) mTooLarge.pop_back();
}

bool SearchCache::IsTooLarge(const std::string& sql, const StoreVersion& version) const {
  for (const auto& [tooLarge, at] : mTooLarge)
    if (at == version && tooLarge == sql) return true;
  return false;
}

SearchRecorder::SearchRecorder(std::shared_ptr<SearchCache> cache, std::shared_ptr<Engine> engine,
                               std::string sql, const StoreVersion& version,
                               const std::vector<bool>& stored)
    : mCache(std::move(cache)),
      mEngine(std::move(engine)),
      mSql(std::move(sql)),
      mVersion(version),
      mRows(std::make_shared<SearchRows>(stored)) {}

void SearchRecorder::RowAdded(bool added) {
  if (mRows && (!added || mRows->CellCount() > mCache->BudgetCells())) {
    mCache->MarkTooLarge(mSql, mVersion);
    mRows.reset();
  }
}

void SearchRecorder::Finished() {
  if (!mRows) return;
  if (mEngine->Version() == mVersion) mCache->Keep(mSql, mVersion, mRows);
  mRows.reset();
}

}  // namespace quillet::platform
