#include "classify/breaks.h"

namespace quillet::classify {

std::vector<double> EqualIntervalBreaks(double minimum, double maximum, int classes) {
  if (classes < 1) return {};
  const double step = (maximum - minimum) / classes;
  std::vector<double> breaks;
  // Stepped by addition, as QGIS steps, so that the bounds agree to the last bit.
  double value = minimum;
  for (int i = 0; i < classes; ++i) {
    value += step;
    breaks.push_back(value);
  }
  // Sums drift: the last class ends at the maximum itself, so it is never left out.
  breaks.back() = maximum;
  return breaks;
}

}  // namespace quillet::classify
