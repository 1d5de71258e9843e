#include <algorithm>

#include "classify/breaks.h"

namespace quillet::classify {

std::vector<double> QuantileBreaks(std::vector<double> values, int classes) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  std::vector<double> breaks;
  double quantile = values.front();
  for (int i = 1; i < classes; ++i) {
    if (n > 1) {
      // Linear interpolation between the two values around position q (n - 1), from 0.
      const double position = (i / static_cast<double>(classes)) * static_cast<double>(n - 1);
      const auto below = static_cast<size_t>(position);
      const double fraction = position - static_cast<double>(below);
      quantile = (1 - fraction) * values[below] + fraction * values[below + 1];
    }
    breaks.push_back(quantile);
  }
  breaks.push_back(values.back());
  return breaks;
}

}  // namespace quillet::classify
