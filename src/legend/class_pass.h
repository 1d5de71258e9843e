#pragma once

#include <memory>
#include <string>

#include "core/quillet_state.h"
#include "legend/assemble_label.h"
#include "legend/field_summary.h"
#include "quillet/gis/layer.h"

namespace quillet {

// The two passes that the unique value and class breaks makers share: summarise every class
// under its query (skipping classes that select nothing), then label every class.

/// The renderer whose classes make the legend: the layer's own, or a bivariate renderer's
/// main renderer.
std::shared_ptr<gis::FeatureRenderer> LegendRenderer(const std::shared_ptr<gis::Layer>& layer);

/// Summarises the fields of one class over the features that `query` selects, with the skip
/// rule: a class whose first field finds no feature is marked skipped.
ClassSummary SummarizeClass(const QuilletState& state, gis::Table& table,
                            const gis::FeatureLayerDefinition& definition, const std::string& query,
                            const DistinctFieldNames& names);

/// The label of one class: "$$SKIPPED" for a skipped class, else the assembled label.
std::string ClassLabel(const QuilletState& state, const ClassSummary& summary,
                       const LegendResolver& resolveLegend);

}  // namespace quillet
