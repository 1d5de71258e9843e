#include "qgis/qgis_renderer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

// The component writes a break into its queries with 15 significant digits, which can put a
// feature that lies exactly on a range's upper bound (a natural-breaks bound is a data value)
// into the next range. The break it gets is therefore the least such number not below the bound.
double BreakAtOrAbove(double upper) {
  const auto fifteenDigits = [](double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.14e", value);
    return std::strtod(text, nullptr);
  };
  const double rounded = fifteenDigits(upper);
  if (rounded >= upper || !std::isfinite(upper)) return rounded;
  // One unit of the 15th significant digit up; rounding again lands exactly on that digit.
  return fifteenDigits(rounded + std::pow(10.0, std::floor(std::log10(std::fabs(rounded))) - 14));
}

}  // namespace

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
}

void QgisRenderer::ReadCategories(const XmlElement& renderer) {
  mAttribute = renderer.AttributeOr("attr");
  const XmlElement* categories = renderer.Child("categories");
  if (categories == nullptr) return;
  std::optional<LegendItem> catchAll;
  for (const XmlElement* category : categories->ChildrenNamed("category")) {
    // A merged category lists its values in <val> elements.
    std::vector<std::string> values;
    for (const XmlElement* value : category->ChildrenNamed("val"))
      values.push_back(value->AttributeOr("value"));
    if (values.empty()) {
      const std::string value = category->AttributeOr("value");
      if ((value.empty() || value == "NULL") && !catchAll) {
        catchAll = LegendItem{category, "all other values", category->AttributeOr("label")};
        continue;
      }
      values.push_back(value);
    }
    std::string stands;
    for (const auto& value : values)
      stands += (stands.empty() ? "" : "; ") + value;
    mItems.push_back({category, stands, category->AttributeOr("label")});
    mValues.push_back(std::move(values));
  }
  if (catchAll) {
    mItems.push_back(*catchAll);
    mHasCatchAll = true;
  }
}

void QgisRenderer::ReadRanges(const XmlElement& renderer) {
  mAttribute = renderer.AttributeOr("attr");
  const XmlElement* ranges = renderer.Child("ranges");
  if (ranges == nullptr) return;
  for (const XmlElement* range : ranges->ChildrenNamed("range")) {
    mRanges.emplace_back(range->AttributeOr("lower"), range->AttributeOr("upper"));
    std::string stands;
    try {
      const size_t index = mRanges.size() - 1;
      stands = map::RangeStands(Bound(mRanges.back().first, "lower", index),
                                Bound(mRanges.back().second, "upper", index), index == 0);
    } catch (const runtime::Error&) {
      // Make says what is wrong; the legend shows the bounds as written.
      stands = mRanges.back().first + " to " + mRanges.back().second;
    }
    mItems.push_back({range, stands, range->AttributeOr("label")});
  }
}

std::string QgisRenderer::Kind() const {
  if (mEmbeddedType.empty()) return IsWrapper(mType) ? mType + " without a renderer" : mType;
  return mType + " of " + mEmbeddedType;
}

std::optional<std::string> QgisRenderer::LowestBound() const {
  if (mRanges.empty()) return std::nullopt;
  return mRanges.front().first;
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
  auto renderer =
      std::make_shared<platform::ClassBreaksRenderer>(field, Bound(mRanges[0].first, "lower", 0));
  for (size_t i = 0; i < mRanges.size(); ++i) {
    const double lower = Bound(mRanges[i].first, "lower", i);
    const double upper = Bound(mRanges[i].second, "upper", i);
    if (upper < lower)
      throw runtime::Error::Platform("range " + std::to_string(i + 1) + " runs from " +
                                     mRanges[i].first + " down to " + mRanges[i].second);
    if (i > 0 && lower != Bound(mRanges[i - 1].second, "upper", i - 1))
      throw runtime::Error::Platform(
          "range " + std::to_string(i + 1) + " starts at " + mRanges[i].first + " but range " +
          std::to_string(i) + " ends at " + mRanges[i - 1].second +
          "; quillet labels ranges that follow one another in ascending order");
    renderer->AddBreak(BreakAtOrAbove(upper), labels[i]);
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
