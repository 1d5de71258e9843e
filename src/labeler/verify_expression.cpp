#include "labeler/verify_expression.h"

#include "core/error_handler.h"
#include "expression/evaluate_expression.h"
#include "expression/statement_vocabulary.h"
#include "legend/label_makers.h"
#include "runtime/case.h"
#include "runtime/text_form.h"

namespace quillet {
namespace {

using gis::As;
using gis::Require;

constexpr const char* kGroupedValuesMessage =
    "Grouped Values Not Allowed!\r\n"
    "It appears that a number of legend values have been grouped to use the same symbol.\r\n"
    "Due to an issue with ESRI's implementation of grouping, this tool does not work with "
    "grouped values.\r\n\r\n"
    "Please ungroup legend values and try again.";

// A refusal of the checks: its message, shown and returned by the failure exit.
struct Refusal {
  std::string message;
};

bool Contains(std::string_view text, std::string_view word) {
  return runtime::FoldCase(text).find(runtime::FoldCase(word)) != std::string::npos;
}

void SetDelimiters(QuilletState& state) {
  if (Contains(state.mDataSourceType, "Personal Geodatabase")) {
    state.mFieldPrefix = "[";
    state.mFieldSuffix = "]";
    state.mJoinFieldPrefix = state.mJoinFieldSuffix = "\"";
  } else if (Contains(state.mDataSourceType, "Shapefile")) {
    state.mFieldPrefix = state.mFieldSuffix = "\"";
    state.mJoinFieldPrefix = state.mJoinFieldSuffix = "\"";
  } else {
    state.mFieldPrefix = state.mFieldSuffix = "";
    state.mJoinFieldPrefix = state.mJoinFieldSuffix = "";
  }
}

bool SummaryAllowsType(const StatementKeyword& summary, int32_t type) {
  if (summary.Operands == Operand::kAnyValue)
    return type >= gis::kFieldSmallInteger && type <= gis::kFieldObjectId;
  return gis::IsNumericFieldType(type);
}

void CheckField(const QuilletState& state, const gis::Table& table, const ExpressionPart& part) {
  const std::string& name = part.Value;
  const std::string field = "Field \"" + name + "\"";
  const int32_t index = table.FindField(name);
  if (index < 0) throw Refusal{field + " does not exist in attribute table!"};
  if (state.mHasJoin && name.find('.') == std::string::npos) {
    // The joined table knows the field by its qualified name, which the message shows.
    throw runtime::Error(runtime::Error::kInvalidProcedureCall,
                         field + " must be qualified by its table name on a joined table, as in [" +
                             table.Fields()->Field(index)->Name() + "]");
  }
  const int32_t type = table.Fields()->Field(index)->Type();
  if (type == gis::kFieldGeometry || type == gis::kFieldBlob)
    throw Refusal{field + ": geometry and blob field types are not supported by this tool!"};
  const StatementKeyword* summary = FindStatementByName(part.Statements.front().Name);
  if (summary == nullptr || summary->Kind != StatementKind::kSummary)
    throw Refusal{field + " does not have an appropriate summary method!"};
  if (!SummaryAllowsType(*summary, type))
    throw Refusal{field + " field type does not support selected summary method!"};
}

std::string LabelingInstructions(const ExpressionParts& parts, const runtime::Locale& locale) {
  std::string text = "Labeling Instructions:\r\n";
  bool first = true;
  for (const ExpressionPart& part : parts) {
    text += std::string("\t") + (first ? "PUT" : "AND") + "\t";
    first = false;
    const std::string kind = KindName(part.Kind);
    if (part.Kind == PartKind::kField) {
      text += kind + ":" + part.Value + "," + part.Statements.front().Name + "\r\n";
      for (size_t i = 1; i < part.Statements.size(); ++i) {
        const FormattingStatement& statement = part.Statements[i];
        text += "\t\t\tFORMAT:" + statement.Name + "," +
                runtime::ToText(statement.Argument1, locale) + "," +
                runtime::ToText(statement.Argument2, locale) + "\r\n";
      }
    } else if (part.Kind == PartKind::kLegend) {
      text += kind + ":" + part.Value + "\r\n";
    } else {
      text += kind + ":\"" + part.Value + "\"\r\n";
    }
  }
  return text;
}

// Steps up to the parsed and checked expression; throws a Refusal or an error.
void Check(QuilletState& state, const std::shared_ptr<gis::Layer>& layer, std::string& expression) {
  auto geoLayer = As<gis::GeoFeatureLayer>(layer);
  if (!geoLayer) throw Refusal{"Layer must be a type of Geo-Feature Layer!"};
  const auto renderer = geoLayer->Renderer();
  const auto values = As<gis::UniqueValueRenderer>(renderer);
  if (!gis::Is<gis::SimpleRenderer>(renderer) && !values &&
      !gis::Is<gis::ClassBreaksRenderer>(renderer) && !gis::Is<gis::BivariateRenderer>(renderer)) {
    throw Refusal{
        "Layer's legend must be a Simple, Unique Value, Graduated Color/Symbol, or "
        "Multi-Attribute type!"};
  }
  if (values) {
    const int32_t classes = Require<gis::RendererClasses>(renderer)->ClassCount();
    const int32_t listed = values->UseDefaultSymbol() ? classes - 1 : classes;
    if (listed != values->ValueCount()) throw Refusal{kGroupedValuesMessage};
  }

  const auto featureClass = Require<gis::FeatureLayer>(layer)->FeatureClass();
  const auto displayTable = Require<gis::DisplayTable>(layer)->DisplayedTable();
  state.mHasJoin = gis::Is<gis::JoinedTable>(displayTable);
  const std::shared_ptr<gis::Table> table =
      state.mHasJoin ? displayTable : std::shared_ptr<gis::Table>(featureClass);
  state.mDataSourceType = Require<gis::DataLayer>(layer)->DataSourceName()->Category();
  SetDelimiters(state);

  ExpressionParse parse = EvaluateExpression(expression, state.locale);
  state.mExpressionParts = std::move(parse.Parts);
  state.mMessage = std::move(parse.Message);
  if (!parse.Succeeded) throw Refusal{state.mMessage};
  for (const ExpressionPart& part : state.mExpressionParts) {
    if (part.Kind == PartKind::kField) CheckField(state, *table, part);
  }
  if (values && state.mHasJoin && values->FieldCount() > 1)
    throw Refusal{"Joined tables are not supported with multi-field unique value legends!"};
}

}  // namespace

bool VerifyExpression(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer,
                      std::string& pExpression, bool pMakeSampleLabel,
                      bool pShowLabelingInstructions) {
  const bool verified = UnderErrorHandler(state, "Unknown Error in VerifyExpression!", [&] {
    try {
      Check(state, pLayer, pExpression);
    } catch (const Refusal& refusal) {
      return Fail(state, refusal.message, "");
    }
    if (!pMakeSampleLabel) return state.mLabelsValid = true;
    const LabelRun sample =
        MakeSimpleRendererLabel(state, pLayer, runtime::Variant::Long(10), true);
    state.mSkippedLegendItems = state.mSkippedLegendItems || sample.SkippedLegendItems;
    if (sample.Labels) state.mLabels = sample.Labels;
    if (!sample.Made) state.cause = sample.Cause;
    // The maker has handled its own error; nothing is pending, so the fallback text stands.
    if (!sample.Made) throw runtime::Error::Undescribed();
    state.mSampleLabel = *sample.SampleLabel;
    if (!state.mShowMessages) return state.mLabelsValid = true;
    std::string text =
        "SAMPLE LABEL: " + runtime::ToText(state.mSampleLabel, state.locale) + "\r\n\r\n";
    if (pShowLabelingInstructions)
      text += LabelingInstructions(state.mExpressionParts, state.locale);
    state.messages->Show(text, "Valid Expression", runtime::kStyleInformation);
    return state.mLabelsValid = true;
  });
  if (!verified) ShowFailureBox(state);
  return verified;
}

}  // namespace quillet
