#include <cstdio>
#include <string>

#include "classify/breaks.h"

namespace quillet::classify {
namespace {

std::string Fixed(double value, int decimals) {
  char text[512];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// QGIS's bound: 4 decimals, trailing zeros and then a bare decimal point dropped, no "-0".
std::string Bound(double value) {
  std::string text = Fixed(value, 4);
  while (text.back() == '0')
    text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text == "-0" ? "0" : text;
}

}  // namespace

std::string RangeLabel(double lower, double upper) {
  return Bound(lower) + " - " + Bound(upper);
}

std::string DeviationsLabel(double deviations) {
  return " " + Fixed(deviations, 2) + " Std Dev";
}

}  // namespace quillet::classify
