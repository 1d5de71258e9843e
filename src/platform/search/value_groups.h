#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/search/class_clause.h"
#include "platform/search/search_cache.h"

namespace quillet::platform {

/// Kept rows grouped by the value of one field, so that each class of a legend picks its rows
/// without comparing every row again: by text for equality terms; for ranges, the field's
/// numbers in row order, which one tight pass per class compares. Nulls belong to no group (no
/// term selects them).
class ValueGroups {
 public:
  /// The groups of `field` over `rows`, for terms like `term`; null when a value of the field
  /// is of a kind that only SQLite can compare (`TermSelects` gives nothing for it).
  static std::shared_ptr<const ValueGroups> Build(const std::shared_ptr<const SearchRows>& rows,
                                                  const ClassClause& term);

  /// Whether these groups answer `term` over `rows` (while those rows live).
  bool Serves(const SearchRows* rows, const ClassClause& term) const;
  /// The rows the term selects, in their order in the kept rows.
  std::vector<uint32_t> Picks(const ClassClause& term) const;

 private:
  std::weak_ptr<const SearchRows> mRows;  // the cache decides how long they live
  int32_t mField = -1;
  bool mByText = false;
  std::unordered_map<std::string, std::vector<uint32_t>> mTextGroups;
  std::vector<double> mNumbers;  // by row; NaN for a null, which no range selects
};

}  // namespace quillet::platform
