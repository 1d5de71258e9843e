#include "platform/search/search_rows.h"

#include <cstring>
#include <utility>

namespace quillet::platform {
namespace {

using runtime::Variant;
using runtime::VariantKind;

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

// A text reference: 20 bits of block, 20 of offset, 24 of length.
constexpr uint64_t kLengthLimit = uint64_t{1} << 24;
constexpr uint64_t kOffsetLimit = uint64_t{1} << 20;
constexpr uint64_t kBlockLimit = uint64_t{1} << 20;

}  // namespace

// Text in blocks of at most 1 MiB, a longer text in a block of its own; a block grows as a
// string does, so that moving it never moves more than one block.
struct SearchRows::Texts {
  static constexpr size_t kSharedSize = 64;  // texts up to this size are kept once,
  static constexpr size_t kShared = 4096;    // up to this many of them

  std::vector<std::string> blocks;
  std::unordered_map<std::string, uint64_t> shared;
  size_t bytes = 0;

  // Where the text now is, or nothing when it does not fit a reference.
  bool Store(const std::string& text, uint64_t& reference) {
    const bool share = text.size() <= kSharedSize;
    if (share) {
      if (const auto found = shared.find(text); found != shared.end()) {
        reference = found->second;
        return true;
      }
    }
    if (text.size() >= kLengthLimit) return false;
    if (blocks.empty() ||
        (!blocks.back().empty() && blocks.back().size() + text.size() > kOffsetLimit)) {
      if (blocks.size() >= kBlockLimit) return false;
      blocks.emplace_back();
    }
    std::string& block = blocks.back();
    reference = ((blocks.size() - 1) << 44) | (uint64_t{block.size()} << 24) | text.size();
    block += text;
    bytes += text.size();
    if (share && shared.size() < kShared) shared.emplace(text, reference);
    return true;
  }

  std::string Text(uint64_t reference) const {
    return blocks[reference >> 44].substr((reference >> 24) & (kOffsetLimit - 1),
                                          reference & (kLengthLimit - 1));
  }
};

SearchRows::SearchRows(size_t columns) : SearchRows(std::vector<bool>(columns, true)) {}

SearchRows::SearchRows(const std::vector<bool>& stored)
    : mColumns(stored.size()), mTexts(std::make_shared<Texts>()) {
  for (const bool kept : stored)
    mSlots.push_back(kept ? static_cast<int32_t>(mSlotCount++) : -1);
  mRecordSize = mSlotCount * 9;
}

std::shared_ptr<SearchRows> SearchRows::Pick(std::shared_ptr<const SearchRows> base,
                                             std::vector<uint32_t> picks) {
  auto rows = std::make_shared<SearchRows>(std::vector<bool>(base->mColumns, false));
  if (base->mBase) {
    for (uint32_t& row : picks)
      row = base->mPicks[row];
    base = base->mBase;
  }
  rows->mBase = std::move(base);
  rows->mPicks = std::move(picks);
  return rows;
}

size_t SearchRows::RowCount() const {
  if (mBase) return mPicks.size();
  return mColumns ? mCells / mColumns : 0;
}

size_t SearchRows::CellCount() const {
  if (mBase) return mPicks.size();
  return RowCount() * mSlotCount + mTexts->bytes / 16;
}

uint8_t* SearchRows::Record(size_t row) const {
  return mBlocks[row / kRowsPerBlock].get() + (row % kRowsPerBlock) * mRecordSize;
}

uint8_t* SearchRows::NewRecord() {
  const size_t row = RowCount();
  // Left uninitialised: every byte of a record is written before it is read.
  if (row % kRowsPerBlock == 0)
    mBlocks.push_back(std::make_unique_for_overwrite<uint8_t[]>(kRowsPerBlock * mRecordSize));
  return Record(row);
}

bool SearchRows::Append(const Variant& value) {
  uint64_t bits = 0;
  const VariantKind kind = value.Kind();
  const size_t column = mCells % mColumns;
  const int32_t slot = mSlots[column];
  if (slot < 0 && kind != VariantKind::kNull) return false;
  if (slot >= 0) switch (kind) {
      case VariantKind::kInteger:
        bits = static_cast<uint64_t>(static_cast<int64_t>(value.AsInteger()));
        break;
      case VariantKind::kLong:
        bits = static_cast<uint64_t>(static_cast<int64_t>(value.AsLong()));
        break;
      case VariantKind::kSingle:
        bits = NumberBits(value.AsSingle());
        break;
      case VariantKind::kDouble:
        bits = NumberBits(value.AsDouble());
        break;
      case VariantKind::kDate:
        bits = NumberBits(value.AsDateSerial());
        break;
      case VariantKind::kBoolean:
        bits = value.AsBoolean() ? 1 : 0;
        break;
      case VariantKind::kString:
        if (!mTexts->Store(value.AsString(), bits)) return false;
        break;
      case VariantKind::kEmpty:
      case VariantKind::kNull:
        break;
    }
  uint8_t* record = column == 0 ? NewRecord() : Record(mCells / mColumns);
  if (slot >= 0) {
    record[slot] = static_cast<uint8_t>(kind);
    std::memcpy(record + mSlotCount + 8 * static_cast<size_t>(slot), &bits, sizeof bits);
  }
  ++mCells;
  return true;
}

Variant SearchRows::Cell(size_t row, size_t column) const {
  if (mBase) return mBase->Cell(mPicks[row], column);
  const int32_t slot = mSlots[column];
  if (slot < 0) return Variant::Null();
  const uint8_t* record = Record(row);
  uint64_t bits;
  std::memcpy(&bits, record + mSlotCount + 8 * static_cast<size_t>(slot), sizeof bits);
  switch (static_cast<VariantKind>(record[slot])) {
    case VariantKind::kNull:
      return Variant::Null();
    case VariantKind::kInteger:
      return Variant::Integer(static_cast<int16_t>(static_cast<int64_t>(bits)));
    case VariantKind::kLong:
      return Variant::Long(static_cast<int32_t>(static_cast<int64_t>(bits)));
    case VariantKind::kSingle:
      return Variant::Single(static_cast<float>(BitsNumber(bits)));
    case VariantKind::kDouble:
      return Variant::Double(BitsNumber(bits));
    case VariantKind::kDate:
      return Variant::Date(BitsNumber(bits));
    case VariantKind::kBoolean:
      return Variant::Boolean(bits != 0);
    case VariantKind::kString:
      return Variant::String(mTexts->Text(bits));
    case VariantKind::kEmpty:
      break;
  }
  return Variant();
}

}  // namespace quillet::platform
