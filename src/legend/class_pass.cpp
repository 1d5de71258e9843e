#include "legend/class_pass.h"

#include "core/markers.h"

namespace quillet {

std::shared_ptr<gis::FeatureRenderer> LegendRenderer(const std::shared_ptr<gis::Layer>& layer) {
  auto renderer = gis::Require<gis::GeoFeatureLayer>(layer)->Renderer();
  if (auto bivariate = gis::As<gis::BivariateRenderer>(renderer)) return bivariate->MainRenderer();
  return renderer;
}

ClassSummary SummarizeClass(const QuilletState& state, gis::Table& table,
                            const gis::FeatureLayerDefinition& definition, const std::string& query,
                            const DistinctFieldNames& names) {
  auto filter = state.CreateQueryFilter();
  filter->SetWhereClause(query);
  ClassSummary summary;
  summary.Skipped = !SummarizeFields(state, table, definition, *filter, runtime::Variant::Long(-1),
                                     names, summary.Fields, EmptySelection::kSkipClass);
  return summary;
}

std::string ClassLabel(const QuilletState& state, const ClassSummary& summary,
                       const LegendResolver& resolveLegend) {
  if (summary.Skipped) return std::string(kSkippedMarker);
  return AssembleLabel(state, summary.Fields, resolveLegend);
}

}  // namespace quillet
