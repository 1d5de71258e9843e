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
/// row's values lie together, so that reading a row touches one place in memory. Text lives
/// in blocks beside them, shared with the rows picked from these, and a short text met again
/// (the values of a class field) is kept once. Rows are kept in fixed blocks, so that growing
/// never copies what was read before; they read back as the very values that were added.
class SearchRows {
 public:
  explicit SearchRows(size_t columns);
  /// A copy of the rows `picks` of `base`, in that order, sharing its text: read again and
  /// again, they then lie next to each other in memory.
  static std::shared_ptr<SearchRows> Pick(const SearchRows& base,
                                          const std::vector<uint32_t>& picks);

  size_t Columns() const { return mColumns; }
  size_t RowCount() const { return mColumns ? mCells / mColumns : 0; }
  /// What the rows cost the cache's budget: a unit a value, and one for each 16 bytes of the
  /// text that they own.
  size_t CellCount() const;
  /// Value `column` of row `row` (both from 0).
  runtime::Variant Cell(size_t row, size_t column) const;
  /// Adds the next value. Fails (returns false, adding nothing) when the text no longer fits.
  bool Append(const runtime::Variant& value);

 private:
  struct Texts;
  static constexpr size_t kRowsPerBlock = 8192;

  uint8_t* Record(size_t row) const;
  uint8_t* NewRecord();

  size_t mColumns;
  size_t mRecordSize;
  size_t mCells = 0;
  std::vector<std::unique_ptr<uint8_t[]>> mBlocks;
  std::shared_ptr<Texts> mTexts;
  bool mOwnsTexts = true;
};

}  // namespace quillet::platform
