#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "quillet/variant.h"

namespace quillet::platform {

/// The rows of one complete search, row after row, each with one value per field.
///
/// A value takes nine bytes (its kind, and eight bytes of number or text reference) and a
/// row's values lie together, so that reading a row touches one place in memory. A field the
/// search does not read (it selects NULL in its place) takes no room. Text lives in blocks
/// beside the values, and a short text met again (the values of a class field) is kept once.
/// Rows are kept in fixed blocks, so that growing never copies what was read before; they read
/// back as the very values that were added. Rows picked from others are read through them.
class SearchRows {
 public:
  /// Rows of `columns` values, each kept.
  explicit SearchRows(size_t columns);
  /// Rows of `stored.size()` values, of which those `stored` marks false are always null.
  explicit SearchRows(const std::vector<bool>& stored);
  /// The rows `picks` of `base`, in that order, read through it: a class of a kept search
  /// costs four bytes a row.
  static std::shared_ptr<SearchRows> Pick(std::shared_ptr<const SearchRows> base,
                                          std::vector<uint32_t> picks);

  size_t Columns() const { return mColumns; }
  size_t RowCount() const;
  /// What the rows cost the cache's budget: a unit a kept value (or a picked row), and one for
  /// each 16 bytes of the text that they own.
  size_t CellCount() const;
  /// Value `column` of row `row` (both from 0).
  runtime::Variant Cell(size_t row, size_t column) const;
  /// Adds the next value. Fails (returns false, adding nothing) when the text no longer fits,
  /// or when a field that takes no room gets a value other than null.
  bool Append(const runtime::Variant& value);

 private:
  struct Texts;
  static constexpr size_t kRowsPerBlock = 8192;

  uint8_t* Record(size_t row) const;
  uint8_t* NewRecord();

  size_t mColumns;
  std::vector<int32_t> mSlots;  // each column's place in a record, -1 for none
  size_t mSlotCount = 0;
  size_t mRecordSize = 0;
  size_t mCells = 0;
  std::vector<std::unique_ptr<uint8_t[]>> mBlocks;
  std::shared_ptr<Texts> mTexts;
  // Picked rows: the rows they are read through, and which.
  std::shared_ptr<const SearchRows> mBase;
  std::vector<uint32_t> mPicks;
};

}  // namespace quillet::platform
