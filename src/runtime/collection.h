#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/case.h"
#include "runtime/error.h"

namespace quillet::runtime {

/// The runtime's ordered collection: items read by position from 1, optionally under a unique
/// key compared without regard to letter case.
///
/// Errors, with the runtime's descriptions: adding a key that is present is error 457; reading
/// or removing a position outside 1..Count() is error 9 ("Subscript out of range"); a key that
/// is not present is error 5 ("Invalid procedure call or argument").
template <typename T>
class Collection {
 public:
  /// Appends an item, with a key when one is given.
  void Add(T item, std::optional<std::string_view> key = std::nullopt) {
    if (key) {
      std::string folded = FoldCase(*key);
      if (keys_.count(folded)) throw Error::DuplicateKey();
      keys_.emplace(std::move(folded), entries_.size());
      entries_.push_back({std::move(item), std::string(*key)});
    } else {
      entries_.push_back({std::move(item), std::nullopt});
    }
  }

  /// The item at a 1-based position.
  const T& Item(int32_t position) const { return entries_[Index(position)].item; }
  T& Item(int32_t position) { return entries_[Index(position)].item; }

  /// The item under a key, compared without regard to case.
  const T& Item(std::string_view key) const { return entries_[IndexOfKey(key)].item; }
  T& Item(std::string_view key) { return entries_[IndexOfKey(key)].item; }

  bool Contains(std::string_view key) const { return keys_.count(FoldCase(key)) != 0; }

  /// Removes the item at a 1-based position, or under a key.
  void Remove(int32_t position) { Erase(Index(position)); }
  void Remove(std::string_view key) { Erase(IndexOfKey(key)); }

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }

  /// Items in order, for range-for.
  auto begin() const { return ItemIterator{entries_.begin()}; }
  auto end() const { return ItemIterator{entries_.end()}; }

 private:
  struct Entry {
    T item;
    std::optional<std::string> key;
  };
  using EntryIterator = typename std::vector<Entry>::const_iterator;
  struct ItemIterator {
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = const T*;
    using reference = const T&;
    EntryIterator at;
    const T& operator*() const { return at->item; }
    ItemIterator& operator++() {
      ++at;
      return *this;
    }
    ItemIterator operator++(int) {
      ItemIterator before = *this;
      ++at;
      return before;
    }
    bool operator==(const ItemIterator& other) const { return at == other.at; }
  };

  size_t Index(int32_t position) const {
    if (position < 1 || position > Count()) throw Error::SubscriptOutOfRange();
    return static_cast<size_t>(position - 1);
  }

  size_t IndexOfKey(std::string_view key) const {
    const auto found = keys_.find(FoldCase(key));
    if (found == keys_.end()) throw Error::InvalidProcedureCall();
    return found->second;
  }

  void Erase(size_t index) {
    if (entries_[index].key) keys_.erase(FoldCase(*entries_[index].key));
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& [folded, at] : keys_)
      if (at > index) --at;
  }

  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> keys_;  // folded key -> index into entries_
};

}  // namespace quillet::runtime
