#include "platform/search/search_cache.h"

#include <sqlite3.h>

#include <cstring>

namespace quillet::platform {

StoreVersion CurrentStoreVersion(const SqliteConnection& connection) {
  StoreVersion version;
  version.changes = sqlite3_total_changes64(connection.Handle());
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection.Handle(), "PRAGMA schema_version", -1, &statement, nullptr) ==
          SQLITE_OK &&
      sqlite3_step(statement) == SQLITE_ROW)
    version.schema = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return version;
}

namespace {

uint64_t NumberBits(double number) {
  uint64_t bits;
  std::memcpy(&bits, &number, sizeof bits);
  return bits;
}

double BitsNumber(uint64_t bits) {
  double number;
  std::memcpy(&number, &bits, sizeof number);
  return number;
}

}  // namespace

bool SearchRows::Append(const runtime::Variant& value) {
  using runtime::VariantKind;
  Packed packed;
  packed.kind = value.Kind();
  switch (packed.kind) {
    case VariantKind::kInteger:
      packed.bits = static_cast<uint64_t>(static_cast<int64_t>(value.AsInteger()));
      break;
    case VariantKind::kLong:
      packed.bits = static_cast<uint64_t>(static_cast<int64_t>(value.AsLong()));
      break;
    case VariantKind::kSingle:
      packed.bits = NumberBits(value.AsSingle());
      break;
    case VariantKind::kDouble:
      packed.bits = NumberBits(value.AsDouble());
      break;
    case VariantKind::kDate:
      packed.bits = NumberBits(value.AsDateSerial());
      break;
    case VariantKind::kBoolean:
      packed.bits = value.AsBoolean() ? 1 : 0;
      break;
    case VariantKind::kString: {
      const std::string& text = value.AsString();
      if (mText.size() + text.size() > UINT32_MAX) return false;
      packed.bits = mText.size() | (static_cast<uint64_t>(text.size()) << 32);
      mText += text;
      break;
    }
    case VariantKind::kEmpty:
    case VariantKind::kNull:
      break;
  }
  if ((mCells & (kBlockSize - 1)) == 0) mBlocks.push_back(std::make_unique<Packed[]>(kBlockSize));
  mBlocks.back()[mCells & (kBlockSize - 1)] = packed;
  ++mCells;
  return true;
}

std::shared_ptr<SearchRows> SearchRows::Copy(const SearchRows& base,
                                             const std::vector<uint32_t>& picks) {
  auto copy = std::make_shared<SearchRows>(base.Columns());
  for (const uint32_t row : picks) {
    for (size_t column = 0; column < base.Columns(); ++column) {
      const size_t cell = row * base.Columns() + column;
      copy->AppendPacked(base.mBlocks[cell >> kBlockBits][cell & (kBlockSize - 1)], base);
    }
  }
  return copy;
}

void SearchRows::AppendPacked(Packed packed, const SearchRows& from) {
  if (packed.kind == runtime::VariantKind::kString) {
    const uint64_t length = packed.bits >> 32;
    const size_t offset = mText.size();
    mText.append(from.mText, packed.bits & UINT32_MAX, length);
    packed.bits = offset | (length << 32);
  }
  if ((mCells & (kBlockSize - 1)) == 0) mBlocks.push_back(std::make_unique<Packed[]>(kBlockSize));
  mBlocks.back()[mCells & (kBlockSize - 1)] = packed;
  ++mCells;
}

runtime::Variant SearchRows::Cell(size_t row, size_t column) const {
  using runtime::Variant;
  using runtime::VariantKind;
  const size_t cell = row * mColumns + column;
  const Packed& packed = mBlocks[cell >> kBlockBits][cell & (kBlockSize - 1)];
  switch (packed.kind) {
    case VariantKind::kNull:
      return Variant::Null();
    case VariantKind::kInteger:
      return Variant::Integer(static_cast<int16_t>(static_cast<int64_t>(packed.bits)));
    case VariantKind::kLong:
      return Variant::Long(static_cast<int32_t>(static_cast<int64_t>(packed.bits)));
    case VariantKind::kSingle:
      return Variant::Single(static_cast<float>(BitsNumber(packed.bits)));
    case VariantKind::kDouble:
      return Variant::Double(BitsNumber(packed.bits));
    case VariantKind::kDate:
      return Variant::Date(BitsNumber(packed.bits));
    case VariantKind::kBoolean:
      return Variant::Boolean(packed.bits != 0);
    case VariantKind::kString:
      return Variant::String(mText.substr(packed.bits & UINT32_MAX, packed.bits >> 32));
    case VariantKind::kEmpty:
      break;
  }
  return Variant();
}

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

SearchRecorder::SearchRecorder(std::shared_ptr<SearchCache> cache,
                               std::shared_ptr<SqliteConnection> connection, std::string sql,
                               const StoreVersion& version, size_t columns)
    : mCache(std::move(cache)),
      mConnection(std::move(connection)),
      mSql(std::move(sql)),
      mVersion(version),
      mRows(std::make_shared<SearchRows>(columns)) {}

void SearchRecorder::RowAdded(bool added) {
  if (mRows && (!added || mRows->CellCount() > mCache->BudgetCells())) {
    mCache->MarkTooLarge(mSql, mVersion);
    mRows.reset();
  }
}

void SearchRecorder::Finished() {
  if (!mRows) return;
  if (CurrentStoreVersion(*mConnection) == mVersion) mCache->Keep(mSql, mVersion, mRows);
  mRows.reset();
}

}  // namespace quillet::platform
