#include "labeler/error_handler.h"
#include "legend/class_pass.h"
#include "legend/label_makers.h"
#include "runtime/case.h"
#include "runtime/text_form.h"

namespace quillet {
namespace {

using gis::Require;
using Text = std::optional<std::string>;

// A break in the ordinary text form of a double in the current locale: the class key and the
// number written into the where clause.
std::string BreakText(double value) {
  return runtime::ToText(runtime::Variant::Double(value));
}

}  // namespace

bool MakeClassBreaksRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer) {
  return UnderErrorHandler(state, "Unknown Error in MakeClassBreaksRendererLabels!", [&] {
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
      const std::string upper = BreakText(breaks->Break(i));
      const std::string definitionExpression = definition->DefinitionExpression();
      const std::string field = prefix + breaks->Field() + suffix;
      std::string where;
      if (i == 0) {
        where = "( " + field + " <= " + upper + " )";
      } else {
        where = "( " + field + " > " + BreakText(breaks->Break(i - 1)) + " AND " + field +
                " <= " + upper + " )";
      }
      std::string query = where;
      if (!definitionExpression.empty() && state.mApplyDefinitionQuery)
        query = "( " + definitionExpression + ") AND ( " + where + " )";
      summaries.Add(SummarizeClass(state, *table, *definition, query, names), upper);
    }

    state.mLabels = std::make_shared<LabelCollection>();
    for (int32_t i = 0; i < breaks->BreakCount(); ++i) {
      const std::string upper = BreakText(breaks->Break(i));
      const LegendResolver resolver = [&](const std::string& name) -> Text {
        if (runtime::EqualsIgnoreCase(name, "VALUE")) return upper;
        return breaks->Label(i);
      };
      state.mLabels->Add(ClassLabel(state, summaries.Item(upper), resolver));
    }
    return true;
  });
}

}  // namespace quillet
