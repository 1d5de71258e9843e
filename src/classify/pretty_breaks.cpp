#include <algorithm>
#include <cmath>

#include "classify/breaks.h"

namespace quillet::classify {

// R's pretty(): a unit of 1, 2 or 5 times a power of ten near range / classes, chosen with R's
// biases towards the larger unit, and the multiples of it that cover the range.
std::vector<double> PrettyBreaks(double minimum, double maximum, int classes) {
  if (classes < 1) return {maximum};
  const int fewest = classes / 3;
  constexpr double kShrink = 0.75;
  constexpr double kHighBias = 1.5;
  constexpr double kFiveBias = 0.5 + 1.5 * kHighBias;
  constexpr double kEpsilon = 1e-07;
  const double range = maximum - minimum;

  double cell = 1.0;
  bool tiny = true;
  if (range != 0 || maximum != 0) {
    cell = std::max(std::fabs(minimum), std::fabs(maximum));
    // R's factor 1 + 1 / (1 + h), kept whole as QGIS keeps it.
    const int factor = static_cast<int>(1 + 1.0 / (1 + kHighBias));
    tiny = range < cell * factor * std::max(1, classes) * kEpsilon * 3.0;
  }
  if (tiny) {
    if (cell > 10) cell = (9 + cell / 10) * kShrink;
    if (fewest > 1) cell /= fewest;
  } else {
    cell = classes > 1 ? range / classes : range;
  }
  cell = std::max(cell, 20 * kEpsilon);

  const double base = std::pow(10.0, std::floor(std::log10(cell)));
  double unit = base;
  if (2 * base - cell < kHighBias * (cell - unit)) {
    unit = 2 * base;
    if (5 * base - cell < kFiveBias * (cell - unit)) {
      unit = 5 * base;
      if (10 * base - cell < kHighBias * (cell - unit)) unit = 10 * base;
    }
  }
  auto first = static_cast<int>(std::floor(minimum / unit + kEpsilon));
  auto last = static_cast<int>(std::ceil(maximum / unit - kEpsilon));
  while (first * unit > minimum + kEpsilon * unit)
    --first;
  while (last * unit < maximum - kEpsilon * unit)
    ++last;
  // Too few classes: widen the range beyond the data, as R does.
  const int count = static_cast<int>(std::floor(0.5 + last - first));
  if (count < fewest) {
    const int missing = fewest - count;
    if (first >= 0) {
      last += missing / 2;
      first = first - missing / 2 + missing % 2;
    } else {
      first -= missing / 2;
      last += missing / 2 + missing % 2;
    }
  }
  std::vector<double> breaks;
  const double lowest = first * unit;
  for (int i = 1; i <= last - first; ++i)
    breaks.push_back(lowest + i * unit);
  if (breaks.empty()) return breaks;
  breaks.front() = std::max(breaks.front(), minimum);
  breaks.back() = std::min(breaks.back(), maximum);
  return breaks;
}

}  // namespace quillet::classify
