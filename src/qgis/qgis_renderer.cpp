#include "qgis/qgis_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "map/legend_entry.h"
#include "platform/renderers/bivariate_renderer.h"
#include "platform/renderers/class_breaks_renderer.h"
#include "platform/renderers/foreign_renderer.h"
#include "platform/renderers/simple_renderer.h"
#include "platform/renderers/unique_value_renderer.h"
#include "quillet/error.h"

namespace quillet::qgis {
namespace {

constexpr const char* kSingle = "singleSymbol";
constexpr const char* kCategorized = "categorizedSymbol";
constexpr const char* kGraduated = "graduatedSymbol";

double Bound(const std::string& text, const std::string& what, size_t range) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size())
    throw runtime::Error::Platform("range " + std::to_string(range + 1) + " has the " + what +
                                   " bound \"" + text + "\", which is not a number");
  return value;
}

// The component writes a break into its queries with 15 significant digits.
double FifteenDigits(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.14e", value);
  return std::strtod(text, nullptr);
}

// One unit of the 15th significant digit of `value` (log10 alone can round up to the next
// power of ten just below it).
double DigitUnit(double value) {
  const double magnitude = std::fabs(value);
  double exponent = std::floor(std::log10(magnitude));
  if (std::pow(10.0, exponent) > magnitude) exponent -= 1;
  if (std::pow(10.0, exponent + 1) <= magnitude) exponent += 1;
  return std::pow(10.0, exponent - 14);
}

// The least 15-digit number not below `value`: the break of a class that holds a feature on
// its upper bound, even where the bound has more digits (a natural-breaks bound is a data
// value).
double BreakAtOrAbove(double value) {
  const double rounded = FifteenDigits(value);
  if (rounded >= value || !std::isfinite(value)) return rounded;
  // One unit of the 15th significant digit up; rounding again lands exactly on that digit.
  return FifteenDigits(rounded + DigitUnit(rounded));
}

// The greatest 15-digit number below `value`: the break of a class that leaves a feature on
// its upper bound to the next class.
double BreakBelow(double value) {
  if (value == 0) return -std::numeric_limits<double>::min();
  const double rounded = FifteenDigits(value);
  if (rounded < value || !std::isfinite(value)) return rounded;
  return FifteenDigits(rounded - DigitUnit(std::nextafter(value, -HUGE_VAL)));
}

constexpr double kNear = 4 * std::numeric_limits<double>::epsilon();  // qgsDoubleNear's

// The greatest double that QGIS still draws in a range whose upper bound is `upper`, with no
// range above it: `upper` itself or one a few units above, within qgsDoubleNear.
double HighestDrawn(double upper) {
  if (!std::isfinite(upper)) return upper;
  double value = upper + kNear;
  while (!QgisDoubleNear(upper, value))
    value = std::nextafter(value, -HUGE_VAL);
  while (QgisDoubleNear(upper, std::nextafter(value, HUGE_VAL)))
    value = std::nextafter(value, HUGE_VAL);
  return value;
}

// The least double that QGIS draws in a range whose lower bound is `lower`, with no range
// below it.
double LowestDrawn(double lower) {
  if (!std::isfinite(lower)) return lower;
  double value = lower - kNear;
  while (!QgisDoubleNear(lower, value))
    value = std::nextafter(value, HUGE_VAL);
  while (QgisDoubleNear(lower, std::nextafter(value, -HUGE_VAL)))
    value = std::nextafter(value, -HUGE_VAL);
  return value;
}

}  // namespace

bool QgisDoubleNear(double a, double b) {
  const double difference = a - b;
  return difference > -kNear && difference <= kNear;
}

bool IsWrapper(const std::string& type) {
  return type == "pointDisplacement" || type == "pointCluster" ||
         type == "invertedPolygonRenderer" || type == "mergedFeatureRenderer";
}

QgisRenderer::QgisRenderer(const XmlElement& element) : mType(element.AttributeOr("type")) {
  const XmlElement* classifying = &element;
  if (IsWrapper(mType)) {
    classifying = element.Child("renderer-v2");
    if (classifying == nullptr) return;
    mEmbeddedType = classifying->AttributeOr("type");
  }
  const std::string type = mEmbeddedType.empty() ? mType : mEmbeddedType;
  if (type == kSingle) mItems.push_back({nullptr, "all features", ""});
  if (type == kCategorized) ReadCategories(*classifying);
  if (type == kGraduated) ReadRanges(*classifying);
  if (mLegendOrder.empty())
    for (size_t i = 0; i < mItems.size(); ++i)
      mLegendOrder.push_back(i);
}

void QgisRenderer::ReadCategories(const XmlElement& renderer) {
  mAttribute = renderer.AttributeOr("attr");
  const XmlElement* categories = renderer.Child("categories");
  if (categories == nullptr) return;
  std::optional<LegendItem> catchAll;
  size_t catchAllPlace = 0;
  for (const XmlElement* category : categories->ChildrenNamed("category")) {
    // A merged category lists its values in <val> elements.
    std::vector<std::string> values;
    for (const XmlElement* value : category->ChildrenNamed("val"))
      values.push_back(value->AttributeOr("value"));
    const std::string written = category->AttributeOr("value");
    if (values.empty()) {
      if ((written.empty() || written == "NULL") && !catchAll) {
        catchAll = LegendItem{category, "all other values", category->AttributeOr("label")};
        catchAll->catchAll = true;
        catchAllPlace = mLegendOrder.size();
        mLegendOrder.push_back(SIZE_MAX);  // the catch-all's index is known at the end
        continue;
      }
      values.push_back(written);
    }
    std::string stands;
    for (const auto& value : values)
      stands += (stands.empty() ? "" : "; ") + value;
    mLegendOrder.push_back(mItems.size());
    mItems.push_back(
        {category, stands, category->AttributeOr("label"), values.size() == 1 ? values[0] : stands,
         values.size() == 1 ? std::optional(values[0]) : std::nullopt, false, std::nullopt});
    mValues.push_back(std::move(values));
  }
  if (catchAll) {
    mLegendOrder[catchAllPlace] = mItems.size();
    mItems.push_back(*catchAll);
    mHasCatchAll = true;
  }
}

void QgisRenderer::ReadRanges(const XmlElement& renderer) {
  mAttribute = renderer.AttributeOr("attr");
  const XmlElement* ranges = renderer.Child("ranges");
  if (ranges == nullptr) return;
  const auto elements = ranges->ChildrenNamed("range");
  bool numbers = true;
  for (const XmlElement* range : elements) {
    Range read{range->AttributeOr("lower"), range->AttributeOr("upper"), mRanges.size(), {}};
    try {
      read.bounds.emplace(Bound(read.lower, "lower", read.place),
                          Bound(read.upper, "upper", read.place));
    } catch (const runtime::Error&) {
      numbers = false;  // Make says what is wrong
    }
    mRanges.push_back(std::move(read));
  }
  // The component's classes go from the lowest range up, whatever order the legend shows.
  if (numbers)
    std::stable_sort(mRanges.begin(), mRanges.end(),
                     [](const Range& a, const Range& b) { return *a.bounds < *b.bounds; });
  mLegendOrder.resize(mRanges.size());
  for (size_t i = 0; i < mRanges.size(); ++i) {
    const Range& range = mRanges[i];
    // A bound two ranges share belongs to the one listed first.
    const bool fromLower = i == 0 || range.place < mRanges[i - 1].place;
    const bool throughUpper = i + 1 == mRanges.size() || range.place < mRanges[i + 1].place;
    const std::string stands =
        range.bounds
            ? map::RangeStands(range.bounds->first, range.bounds->second, fromLower, throughUpper)
            : range.lower + " to " + range.upper;
    const XmlElement* element = elements[range.place];
    mItems.push_back({element, stands, element->AttributeOr("label"),
                      range.lower + " - " + range.upper, std::nullopt, false, range.bounds});
    mLegendOrder[range.place] = i;
  }
}

std::string QgisRenderer::Kind() const {
  if (mEmbeddedType.empty()) return IsWrapper(mType) ? mType + " without a renderer" : mType;
  return mType + " of " + mEmbeddedType;
}

std::optional<std::string> QgisRenderer::LowestValue() const {
  if (mRanges.empty() || !mRanges.front().bounds) return std::nullopt;
  const double lower = mRanges.front().bounds->first;
  const double lowest = LowestDrawn(lower);
  if (lowest == lower || !std::isfinite(lowest)) return mRanges.front().lower;
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", lowest);
  return std::string(text);
}

bool QgisRenderer::HoldsLabels() const {
  return !mItems.empty() && mItems.front().element != nullptr;
}

std::shared_ptr<gis::FeatureRenderer> QgisRenderer::MakeClassifying(
    const std::string& field, const std::vector<std::string>& labels) const {
  // QGIS saves a categorized or graduated renderer whose field was never chosen.
  if (field.empty())
    throw runtime::Error::Platform(
        "the renderer has no field to classify by (its attr is empty); choose one in the "
        "layer's symbology in QGIS");
  const std::string type = mEmbeddedType.empty() ? mType : mEmbeddedType;
  if (type == kCategorized) {
    auto renderer = std::make_shared<platform::UniqueValueRenderer>(std::vector{field});
    for (size_t i = 0; i < mValues.size(); ++i)
      renderer->AddClass(mValues[i], labels[i]);
    if (mHasCatchAll) renderer->UseDefault(labels.back());
    return renderer;
  }
  if (mRanges.empty()) return std::make_shared<platform::ClassBreaksRenderer>(field, 0.0);
  for (const Range& range : mRanges) {
    Bound(range.lower, "lower", range.place);  // the first that is not a number fails
    Bound(range.upper, "upper", range.place);
  }
  auto renderer =
      std::make_shared<platform::ClassBreaksRenderer>(field, mRanges.front().bounds->first);
  const auto name = [](const Range& range) { return "range " + std::to_string(range.place + 1); };
  for (size_t i = 0; i < mRanges.size(); ++i) {
    const Range& range = mRanges[i];
    const auto [lower, upper] = *range.bounds;
    if (upper < lower)
      throw runtime::Error::Platform(name(range) + " runs from " + range.lower + " down to " +
                                     range.upper);
    if (i > 0 && lower != mRanges[i - 1].bounds->second)
      throw runtime::Error::Platform(
          name(range) + " starts at " + range.lower + " but " + name(mRanges[i - 1]) + " ends at " +
          mRanges[i - 1].upper + "; quillet labels ranges that follow one another without gaps");
    // A value on the bound this range shares with the next is drawn by the one listed first.
    double breakValue = 0;
    if (i + 1 == mRanges.size())
      breakValue = BreakAtOrAbove(HighestDrawn(upper));
    else if (range.place < mRanges[i + 1].place)
      breakValue = BreakAtOrAbove(upper);
    else
      breakValue = BreakBelow(upper);
    renderer->AddBreak(breakValue, labels[i]);
  }
  return renderer;
}

std::shared_ptr<gis::FeatureRenderer> QgisRenderer::Make(
    const std::string& field, const std::vector<std::string>* labels) const {
  std::vector<std::string> fileLabels;
  for (const auto& item : mItems)
    fileLabels.push_back(item.label);
  const std::vector<std::string>& chosen = labels ? *labels : fileLabels;
  if (chosen.size() != mItems.size())
    throw runtime::Error::Platform("the legend has " + std::to_string(mItems.size()) +
                                   " entries, not " + std::to_string(chosen.size()));

  const std::string type = mEmbeddedType.empty() ? mType : mEmbeddedType;
  std::shared_ptr<gis::FeatureRenderer> classifying;
  if (type == kSingle)
    classifying = std::make_shared<platform::SimpleRenderer>(chosen.empty() ? "" : chosen[0]);
  else if (type == kCategorized || type == kGraduated)
    classifying = MakeClassifying(field, chosen);
  else
    classifying = std::make_shared<platform::ForeignRenderer>(type);
  if (!IsWrapper(mType)) return classifying;
  // The wrapper's own symbol (a cluster's, a displacement ring) plays the second renderer.
  return std::make_shared<platform::BivariateRenderer>(
      classifying, std::make_shared<platform::SimpleRenderer>(""));
}

}  // namespace quillet::qgis
