#include "runtime/nearest_names.h"

#include <algorithm>
#include <numeric>

#include "runtime/case.h"

namespace quillet::runtime {
namespace {

// Levenshtein distance over bytes of the lower-cased texts.
size_t Distance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), size_t{0});
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

}  // namespace

std::vector<std::string> NearestNames(std::string_view name, const std::vector<std::string>& names,
                                      size_t count) {
  const std::string wanted = LCase(name);
  std::vector<std::pair<size_t, size_t>> near;  // distance, index
  for (size_t i = 0; i < names.size(); ++i) {
    const std::string candidate = LCase(names[i]);
    size_t distance = Distance(wanted, candidate);
    if (const size_t dot = candidate.rfind('.'); dot != std::string::npos)
      distance = std::min(distance, Distance(wanted, candidate.substr(dot + 1)));
    const size_t longer = std::max(wanted.size(), candidate.size());
    if (distance <= std::max<size_t>(2, longer / 3)) near.emplace_back(distance, i);
  }
  std::stable_sort(near.begin(), near.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> nearest;
  for (size_t i = 0; i < near.size() && i < count; ++i)
    nearest.push_back(names[near[i].second]);
  return nearest;
}

std::string FieldsNear(std::string_view name, const std::vector<std::string>& fields) {
  const std::vector<std::string> nearest = NearestNames(name, fields);
  std::string listed;
  for (const std::string& field : nearest.empty() ? fields : nearest)
    listed += (listed.empty() ? "" : ", ") + field;
  return (nearest.empty() ? "its fields: " : "nearest: ") + listed;
}

}  // namespace quillet::runtime
