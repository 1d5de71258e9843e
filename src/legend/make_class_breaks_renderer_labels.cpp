#include "core/markers.h"
#include "legend/class_pass.h"
#include "legend/label_makers.h"
#include "runtime/case.h"
#include "runtime/text_form.h"

namespace quillet {
namespace {

using gis::Require;
using Text = std::optional<std::string>;

// A break in the ordinary text form of a double in the object's locale: the class key and the
// number written into the where clause.
std::string BreakText(double value, const runtime::Locale& locale) {
  return runtime::ToText(runtime::Variant::Double(value), locale);
}

}  // namespace

LabelRun MakeClassBreaksRendererLabels(const QuilletState& state,
                                       const std::shared_ptr<gis::Layer>& pLayer) {
  return RunLabelMaker("Unknown Error in MakeClassBreaksRendererLabels!", [&](LabelRun& run) {
    const DistinctFieldNames names = CollectFieldNames(state);
    std::shared_ptr<gis::Table> table = Require<gis::DisplayTable>(pLayer)->DisplayedTable();
    if (!gis::Is<gis::JoinedTable>(table))
      table = Require<gis::FeatureLayer>(pLayer)->FeatureClass();
    const auto breaks = Require<gis::ClassBreaksRenderer>(LegendRenderer(pLayer));
    const auto definition = Require<gis::FeatureLayerDefinition>(pLayer);
    const std::string& prefix = state.mHasJoin ? state.mJoinFieldPrefix : state.mFieldPrefix;
    const std::string& suffix = state.mHasJoin ? state.mJoinFieldSuffix : state.mFieldSuffix;

    ClassSummaries summaries;
    const int32_t count = breaks->BreakCount();
    for (int32_t i = 0; i < count; ++i) {
      const std::string upper = BreakText(breaks->Break(i), state.locale);
      const std::string definitionExpression = definition->DefinitionExpression();
      const std::string field = prefix + breaks->Field() + suffix;
      std::string where;
      if (i == 0) {
        where = "( " + field + " <= " + upper + " )";
      } else {
        where = "( " + field + " > " + BreakText(breaks->Break(i - 1), state.locale) + " AND " +
                field + " <= " + upper + " )";
      }
      std::string query = where;
      if (!definitionExpression.empty() && state.mApplyDefinitionQuery)
        query = "( " + definitionExpression + ") AND ( " + where + " )";
      run.FailedClass = "the class up to " + upper;
      ClassSummary summary = SummarizeClass(state, *table, *definition, query, names);
      run.FailedClass.clear();
      run.SkippedLegendItems = run.SkippedLegendItems || summary.Skipped;
      summaries.Add(std::move(summary), upper);
    }

    run.Labels = std::make_shared<LabelCollection>();
    for (int32_t i = 0; i < breaks->BreakCount(); ++i) {
      const std::string upper = BreakText(breaks->Break(i), state.locale);
      const LegendResolver resolver = [&](const std::string& name) -> Text {
        if (runtime::EqualsIgnoreCase(name, kValuePseudoField)) return upper;
        return breaks->Label(i);
      };
      run.Labels->Add(ClassLabel(state, summaries.Item(upper), resolver));
    }
    return true;
  });
}

}  // namespace quillet
