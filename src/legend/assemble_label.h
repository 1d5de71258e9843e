#pragma once

#include <functional>
#include <optional>
#include <string>

#include "core/quillet_state.h"
#include "legend/field_summary.h"

namespace quillet {

/// What a label maker puts in place of a pseudo-field ("VALUE" or "LABEL", any case, as
/// typed): its text, or nothing.
using LegendResolver = std::function<std::optional<std::string>(const std::string& pseudoField)>;

/// Builds one label from `mExpressionParts`: each field reference takes the summary value its
/// first statement names, passed through its further statements; pseudo-fields take what
/// `resolveLegend` gives; literal text stays. Then "$$NEWLINE" (any case) becomes CR LF and,
/// when `mWrapLength` is above 0, the label is wrapped. Throws when a summary is missing, and
/// error 14 ("Out of string space") when the label, before wrapping, would hold more than
/// `kLongestLabel` characters.
std::string AssembleLabel(const QuilletState& state, const FieldSummaries& summaries,
                          const LegendResolver& resolveLegend);

/// Replaces every "$$NEWLINE", compared without regard to case, by CR LF.
std::string ReplaceNewlineMarkers(std::string text);

}  // namespace quillet
