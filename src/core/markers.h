#pragma once

#include <cstdint>
#include <string_view>

#include "quillet/gis/renderer.h"

namespace quillet {

/// The label of a legend entry whose query selected no feature; `SetLabels` leaves such an
/// entry's label alone. Compared without regard to case.
inline constexpr std::string_view kSkippedMarker = "$$SKIPPED";
/// The key of the default class among a unique value renderer's class summaries.
inline constexpr std::string_view kAllOtherValuesMarker = "$$ALLOTHERVALUES";
/// What `$$VALUE` stands for in the label of the default class.
inline constexpr std::string_view kAllOtherValuesText = "<all other values>";
/// A line break in a label, replaced by CR LF; compared without regard to case.
inline constexpr std::string_view kNewlineMarker = "$$NEWLINE";
/// The pseudo-fields after "$$": the legend entry's value and its current label.
inline constexpr std::string_view kValuePseudoField = "VALUE";
inline constexpr std::string_view kLabelPseudoField = "LABEL";

/// Whether class `index` of a unique value renderer's class list is its default class: with
/// a default symbol, the last one.
inline bool IsDefaultClass(const gis::UniqueValueRenderer& values,
                           const gis::RendererClasses& classes, int32_t index) {
  return values.UseDefaultSymbol() && index == classes.ClassCount() - 1;
}

}  // namespace quillet
