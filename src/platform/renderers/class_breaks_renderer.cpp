#include "platform/renderers/class_breaks_renderer.h"

#include "platform/store/platform_error.h"
#include "platform/store/sql_text.h"
#include "quillet/error.h"

namespace quillet::platform {

ClassBreaksRenderer::ClassBreaksRenderer(std::string field, double minimumBreak)
    : mField(std::move(field)), mMinimumBreak(minimumBreak) {}

void ClassBreaksRenderer::AddBreak(double value, std::string label) {
  mBreaks.push_back({value, std::move(label)});
}

const ClassBreaksRenderer::ClassBreak& ClassBreaksRenderer::At(int32_t index) const {
  CheckIndex("Break", index, mBreaks.size());
  return mBreaks[static_cast<size_t>(index)];
}

double ClassBreaksRenderer::Break(int32_t index) const {
  return At(index).value;
}

std::string ClassBreaksRenderer::Label(int32_t index) const {
  return At(index).label;
}

void ClassBreaksRenderer::SetLabel(int32_t index, const std::string& label) {
  CheckIndex("Break", index, mBreaks.size());
  mBreaks[static_cast<size_t>(index)].label = label;
}

std::string ClassBreaksRenderer::WhereClause(int32_t index, const gis::Table& table) const {
  const double upper = At(index).value;
  if (table.FindField(mField) < 0)
    throw runtime::Error::Platform("The renderer field " + mField + " is not in the table");
  const std::string field = QuoteIdentifier(mField);
  const std::string lower = index == 0 ? field + " >= " + NumberLiteral(mMinimumBreak)
                                       : field + " > " + NumberLiteral(At(index - 1).value);
  return lower + " AND " + field + " <= " + NumberLiteral(upper);
}

}  // namespace quillet::platform
