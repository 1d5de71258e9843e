#include "core/markers.h"
#include "legend/class_pass.h"
#include "legend/label_makers.h"
#include "runtime/case.h"

namespace quillet {
namespace {

using gis::Require;
using Text = std::optional<std::string>;

std::string ClassKey(const gis::UniqueValueRenderer& values, const gis::RendererClasses& classes,
                     int32_t index) {
  return IsDefaultClass(values, classes, index) ? std::string(kAllOtherValuesMarker)
                                                : values.Value(index);
}

// On a joined table the maker writes the clauses itself (one field): each listed value's
// clause is collected so that the default class can select everything else.
class JoinedClauses {
 public:
  JoinedClauses(const QuilletState& state, const gis::UniqueValueRenderer& values,
                const gis::Table& table)
      : state_(state), values_(values), table_(table) {}

  std::string For(int32_t index, const std::string& key) {
    if (runtime::EqualsIgnoreCase(key, kAllOtherValuesMarker)) {
      // No listed value leaves nothing to cut: an invalid argument, as it always was.
      if (listed_.size() < 2) throw runtime::Error::InvalidProcedureCall();
      listed_ = "NOT (" + listed_.substr(2) + ")";
      return listed_;
    }
    const std::string field = values_.Field(0);
    const std::string value = values_.Value(index);
    const int32_t type = table_.Fields()->Field(table_.FindField(field))->Type();
    const std::string name = state_.mJoinFieldPrefix + field + state_.mJoinFieldSuffix;
    const std::string clause =
        type == gis::kFieldString ? name + " = '" + value + "'" : name + " = " + value;
    listed_ += "OR (" + clause + ") ";
    return clause;
  }

 private:
  const QuilletState& state_;
  const gis::UniqueValueRenderer& values_;
  const gis::Table& table_;
  std::string listed_;  // the ListedValuesClause
};

}  // namespace

LabelRun MakeUniqueRendererLabels(const QuilletState& state,
                                  const std::shared_ptr<gis::Layer>& pLayer) {
  return RunLabelMaker("Unknown Error in MakeUniqueRendererLabels!", [&](LabelRun& run) {
    const DistinctFieldNames names = CollectFieldNames(state);
    const auto renderer = LegendRenderer(pLayer);
    const auto values = Require<gis::UniqueValueRenderer>(renderer);
    const auto classes = Require<gis::RendererClasses>(renderer);
    const auto definition = Require<gis::FeatureLayerDefinition>(pLayer);
    std::shared_ptr<gis::Table> table =
        state.mHasJoin
            ? Require<gis::DisplayTable>(pLayer)->DisplayedTable()
            : std::shared_ptr<gis::Table>(Require<gis::FeatureLayer>(pLayer)->FeatureClass());
    const int32_t count = classes->ClassCount();

    ClassSummaries summaries;
    JoinedClauses joined(state, *values, *table);
    for (int32_t i = 0; i < count; ++i) {
      const std::string key = ClassKey(*values, *classes, i);
      const std::string definitionExpression = definition->DefinitionExpression();
      const std::string where =
          state.mHasJoin ? joined.For(i, key) : classes->WhereClause(i, *table);
      std::string query = where;
      if (!definitionExpression.empty() && state.mApplyDefinitionQuery)
        query = "( " + definitionExpression + ") AND " + where;
      run.FailedClass = key == kAllOtherValuesMarker ? "the class of all other values"
                                                     : "the value \"" + key + "\"";
      ClassSummary summary = SummarizeClass(state, *table, *definition, query, names);
      run.FailedClass.clear();
      run.SkippedLegendItems = run.SkippedLegendItems || summary.Skipped;
      summaries.Add(std::move(summary), key);
    }

    run.Labels = std::make_shared<LabelCollection>();
    for (int32_t i = 0; i < count; ++i) {
      const ClassSummary& summary = summaries.Item(ClassKey(*values, *classes, i));
      const LegendResolver resolver = [&](const std::string& name) -> Text {
        if (!runtime::EqualsIgnoreCase(name, kValuePseudoField)) return classes->Class(i);
        if (IsDefaultClass(*values, *classes, i)) return std::string(kAllOtherValuesText);
        return values->Value(i);
      };
      run.Labels->Add(ClassLabel(state, summary, resolver));
    }
    return true;
  });
}

}  // namespace quillet
