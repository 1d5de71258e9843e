#include "map/legend_entry.h"

#include <cmath>
#include <cstdint>

#include "platform/store/sql_text.h"
#include "runtime/utf8.h"

namespace quillet::map {

std::string RangeStands(double lower, double upper, bool first, bool throughUpper) {
  // Whole numbers in full (1000000, not 1e+06).
  const auto text = [](double value) {
    if (std::trunc(value) == value && std::fabs(value) < 1e15)
      return std::to_string(static_cast<int64_t>(value));
    return platform::NumberLiteral(value);
  };
  return (first ? "" : "above ") + text(lower) + (throughUpper ? " to " : " to below ") +
         text(upper);
}

std::vector<std::string> RendererLabels(const gis::FeatureRenderer& renderer) {
  const auto* self = &renderer;
  if (const auto* simple = dynamic_cast<const gis::SimpleRenderer*>(self))
    return {runtime::ValidUtf8(simple->Label())};
  if (const auto* classes = dynamic_cast<const gis::RendererClasses*>(self)) {
    std::vector<std::string> labels;
    for (int32_t i = 0; i < classes->ClassCount(); ++i)
      labels.push_back(runtime::ValidUtf8(classes->Class(i)));
    return labels;
  }
  if (const auto* bivariate = dynamic_cast<const gis::BivariateRenderer*>(self))
    return RendererLabels(*bivariate->MainRenderer());
  return {};
}

}  // namespace quillet::map
