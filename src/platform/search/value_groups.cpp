#include "platform/search/value_groups.h"

#include <limits>

namespace quillet::platform {

std::shared_ptr<const ValueGroups> ValueGroups::Build(const std::shared_ptr<const SearchRows>& rows,
                                                      const ClassClause& term) {
  auto groups = std::make_shared<ValueGroups>();
  groups->mField = term.field;
  groups->mByText = term.term == ClassClause::Term::kEquals;
  const size_t field = static_cast<size_t>(term.field);
  for (size_t row = 0; row < rows->RowCount(); ++row) {
    const runtime::Variant value = rows->Cell(row, field);
    // Whether the value compares as this kind of term would have SQLite compare it.
    if (!TermSelects(term, value)) return nullptr;
    if (!groups->mByText) {
      groups->mNumbers.push_back(value.IsNull() ? std::numeric_limits<double>::quiet_NaN()
                                                : value.NumericValue());
    } else if (!value.IsNull()) {
      groups->mTextGroups[value.AsString()].push_back(static_cast<uint32_t>(row));
    }
  }
  groups->mRows = rows;
  return groups;
}

bool ValueGroups::Serves(const SearchRows* rows, const ClassClause& term) const {
  return !mRows.expired() && rows == mRows.lock().get() && term.field == mField &&
         (term.term == ClassClause::Term::kEquals) == mByText;
}

std::vector<uint32_t> ValueGroups::Picks(const ClassClause& term) const {
  if (mByText) {
    const auto group = mTextGroups.find(term.text);
    return group == mTextGroups.end() ? std::vector<uint32_t>() : group->second;
  }
  // Above the lower bound (or from the start) up to and including the upper bound; NaN, a
  // null, fails both comparisons.
  const bool hasLower = term.term == ClassClause::Term::kAboveAtMost;
  std::vector<uint32_t> picks;
  for (size_t row = 0; row < mNumbers.size(); ++row) {
    const double number = mNumbers[row];
    if (number <= term.upper && (!hasLower || number > term.lower))
      picks.push_back(static_cast<uint32_t>(row));
  }
  return picks;
}

}  // namespace quillet::platform
