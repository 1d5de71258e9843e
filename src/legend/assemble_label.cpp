#include "legend/assemble_label.h"

#include "core/markers.h"
#include "expression/apply_formatting_function.h"
#include "expression/wrap_label_text.h"
#include "runtime/case.h"
#include "runtime/text_form.h"

namespace quillet {

std::string ReplaceNewlineMarkers(std::string text) {
  std::string out;
  size_t at = 0;
  while (at < text.size()) {
    if (text.size() - at >= kNewlineMarker.size() &&
        runtime::EqualsIgnoreCase(std::string_view(text).substr(at, kNewlineMarker.size()),
                                  kNewlineMarker)) {
      out += "\r\n";
      at += kNewlineMarker.size();
    } else {
      out += text[at++];
    }
  }
  return out;
}

std::string AssembleLabel(const QuilletState& state, const FieldSummaries& summaries,
                          const LegendResolver& resolveLegend) {
  std::string text;
  for (const ExpressionPart& part : state.mExpressionParts) {
    if (part.Kind == PartKind::kField) {
      runtime::Variant value;
      for (size_t i = 0; i < part.Statements.size(); ++i) {
        const FormattingStatement& statement = part.Statements[i];
        if (i == 0) {
          value = summaries.Item(part.Value).Item(statement.Name);
        } else {
          ApplyFormattingFunction(value, statement.Name, statement.Argument1, statement.Argument2,
                                  state.locale);
        }
      }
      text += runtime::ToText(value, state.locale);
    } else if (part.Kind == PartKind::kLegend) {
      if (auto legend = resolveLegend(part.Value)) text += *legend;
    } else {
      text += part.Value;
    }
  }
  text = ReplaceNewlineMarkers(std::move(text));
  if (state.mWrapLength > 0) {
    int16_t limit = state.mWrapLength;
    text = WrapLabelText(text, limit);
  }
  return text;
}

}  // namespace quillet
