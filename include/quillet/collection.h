#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "quillet/error.h"

namespace quillet::runtime {

/// Unicode case folding of UTF-8 text, so that "Ärger", "ärger" and "ÄRGER" fold alike: how
/// collection keys, keywords and marker tokens are compared without regard to letter case.
std::string FoldCase(std::string_view text);

/// The runtime's ordered collection: items read by position from 1, optionally under a unique
/// key compared without regard to letter case.
///
/// Errors, with the runtime's descriptions: adding a key that is present is error 457; reading
/// a position outside 1..Count() is error 9 ("Subscript out of range"); a key that is not
/// present is error 5 ("Invalid procedure call or argument").
template <typename T>
class Collection {
 public:
  /// Appends an item, with a key when one is given. A failure leaves the collection as it was.
  void Add(T item, std::optional<std::string_view> key = std::nullopt) {
    std::string folded = key ? FoldCase(*key) : std::string();
    if (key && keys_.count(folded)) throw Error::DuplicateKey();
    items_.push_back(std::move(item));
    if (!key) return;
    try {
      keys_.emplace(std::move(folded), items_.size() - 1);
    } catch (...) {
      items_.pop_back();
      throw;
    }
  }

  /// The item at a 1-based position.
  const T& Item(int32_t position) const { return items_[Index(position)]; }
  T& Item(int32_t position) { return items_[Index(position)]; }

  /// The item under a key, compared without regard to case.
  const T& Item(std::string_view key) const { return items_[IndexOfKey(key)]; }
  T& Item(std::string_view key) { return items_[IndexOfKey(key)]; }

  bool Contains(std::string_view key) const { return keys_.count(FoldCase(key)) != 0; }

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  /// Items in order, for range-for.
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  size_t Index(int32_t position) const {
    if (position < 1 || position > Count()) throw Error::SubscriptOutOfRange();
    return static_cast<size_t>(position - 1);
  }

  size_t IndexOfKey(std::string_view key) const {
    const auto found = keys_.find(FoldCase(key));
    if (found == keys_.end()) throw Error::InvalidProcedureCall();
    return found->second;
  }

  std::vector<T> items_;
  std::unordered_map<std::string, size_t> keys_;  // folded key -> index into items_
};

}  // namespace quillet::runtime
