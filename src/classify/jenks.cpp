#include <algorithm>
#include <cstdint>
#include <limits>

#include "classify/breaks.h"

namespace quillet::classify {
namespace {

// Beyond this many values the classes are sought among a sample, as QGIS does: the method's
// cost grows with the square of the values.
constexpr size_t kMostValues = 3000;

// The sorted values, or kMostValues of them: the least, the greatest, and the others taken at
// even steps through the sorted list, so that the same data always gives the same breaks.
std::vector<double> Sample(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  if (values.size() <= kMostValues) return values;
  std::vector<double> sample(kMostValues);
  sample[0] = values.front();
  sample[1] = values.back();
  int64_t taken = -1;
  const auto spread = static_cast<int64_t>(values.size()) - 2;
  for (size_t i = 1; i + 2 < values.size(); ++i) {
    if (static_cast<int64_t>(i) * static_cast<int64_t>(kMostValues - 2) / spread > taken) {
      ++taken;
      sample[static_cast<size_t>(taken) + 2] = values[i];
    }
  }
  std::sort(sample.begin(), sample.end());
  return sample;
}

}  // namespace

std::vector<double> JenksBreaks(std::vector<double> values, int classes) {
  if (values.empty()) return {};
  if (classes <= 1) return {*std::max_element(values.begin(), values.end())};
  if (static_cast<size_t>(classes) >= values.size()) {
    std::sort(values.begin(), values.end());
    return values;
  }
  const std::vector<double> sample = Sample(std::move(values));
  const size_t n = sample.size();
  const auto k = static_cast<size_t>(classes);
  // cost[l][j]: the least sum of squared deviations of the first l values in j classes;
  // start[l][j]: where (from 1) the last of those classes begins.
  std::vector<std::vector<double>> cost(n + 1, std::vector<double>(k + 1, 0.0));
  std::vector<std::vector<size_t>> start(n + 1, std::vector<size_t>(k + 1, 0));
  for (size_t j = 1; j <= k; ++j) {
    start[0][j] = start[1][j] = 1;
    for (size_t l = 2; l <= n; ++l)
      cost[l][j] = std::numeric_limits<double>::max();
  }
  for (size_t l = 2; l <= n; ++l) {
    double sum = 0;
    double squares = 0;
    double deviation = 0;
    // The last class grows down from value l; on a tie the lower start wins, as in QGIS.
    for (size_t m = 1; m <= l; ++m) {
      const size_t first = l - m + 1;
      const double value = sample[first - 1];
      sum += value;
      squares += value * value;
      deviation = squares - sum * sum / static_cast<double>(m);
      const size_t before = first - 1;
      if (before == 0) continue;
      for (size_t j = 2; j <= k; ++j) {
        if (cost[l][j] >= deviation + cost[before][j - 1]) {
          start[l][j] = before;
          cost[l][j] = deviation + cost[before][j - 1];
        }
      }
    }
    start[l][1] = 1;
    cost[l][1] = deviation;
  }
  std::vector<double> breaks(k);
  breaks[k - 1] = sample[n - 1];
  for (size_t j = k, l = n; j >= 2; --j) {
    breaks[j - 2] = sample[start[l][j] - 1];
    l = start[l][j] - 1;
  }
  return breaks;
}

}  // namespace quillet::classify
