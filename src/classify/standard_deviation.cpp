#include <algorithm>
#include <cmath>
#include <cstddef>

#include "classify/breaks.h"

namespace quillet::classify {
namespace {

// QGIS balances the breaks around the mean (0, standardised): it drops every break but the
// last that lies as far from it as the nearer of the outermost breaks, or further (less a
// hundredth of the first step), which often leaves fewer classes than asked for.
void KeepSymmetric(std::vector<double>& breaks) {
  if (breaks.size() < 2) return;
  std::sort(breaks.begin(), breaks.end());
  const double nearest = std::min(std::fabs(breaks.front()), std::fabs(breaks[breaks.size() - 2]));
  for (size_t i = 0; i + 1 < breaks.size();) {
    if (std::fabs(breaks[i]) >= nearest - std::fabs(breaks[0] - breaks[1]) / 100.)
      breaks.erase(breaks.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

}  // namespace

std::vector<double> StandardDeviationBreaks(const std::vector<double>& values, int classes,
                                            double& mean, double& deviation) {
  if (values.empty()) return {};
  double minimum = values.front();
  double maximum = values.front();
  double sum = 0;
  for (const double value : values) {
    sum += value;
    minimum = std::min(minimum, value);
    maximum = std::max(maximum, value);
  }
  const auto n = static_cast<double>(values.size());
  mean = sum / n;
  double squares = 0;
  for (const double value : values)
    squares += (value - mean) * (value - mean);
  deviation = std::sqrt(squares / n);
  std::vector<double> breaks =
      PrettyBreaks((minimum - mean) / deviation, (maximum - mean) / deviation, classes);
  KeepSymmetric(breaks);
  for (double& at : breaks)
    at = at * deviation + mean;
  return breaks;
}

}  // namespace quillet::classify
