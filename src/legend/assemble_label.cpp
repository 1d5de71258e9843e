#include "legend/assemble_label.h"

#include <string_view>

#include "core/markers.h"
#include "expression/apply_formatting_function.h"
#include "expression/label_size.h"
#include "expression/wrap_label_text.h"
#include "quillet/error.h"
#include "runtime/case.h"
#include "runtime/text_form.h"
#include "runtime/utf8.h"

namespace quillet {
namespace {

// Adds a part to the label, which may not grow beyond kLongestLabel characters.
void Append(std::string& label, size_t& characters, std::string_view part) {
  characters += runtime::CodePointCount(part);
  if (characters > kLongestLabel)
    throw runtime::Error(runtime::Error::kOutOfStringSpace,
                         "Out of string space: a label holds at most " +
                             std::to_string(kLongestLabel) + " characters");
  label += part;
}

}  // namespace

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
  size_t characters = 0;
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
      Append(text, characters, runtime::ToText(value, state.locale));
    } else if (part.Kind == PartKind::kLegend) {
      if (auto legend = resolveLegend(part.Value)) Append(text, characters, *legend);
    } else {
      Append(text, characters, part.Value);
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
