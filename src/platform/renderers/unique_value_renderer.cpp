#include "platform/renderers/unique_value_renderer.h"

#include "platform/store/platform_error.h"
#include "platform/store/sql_text.h"
#include "quillet/error.h"

namespace quillet::platform {
namespace {

std::vector<std::string> Split(const std::string& text, const std::string& delimiter) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at = text.find(delimiter); at != std::string::npos;
       at = text.find(delimiter, start)) {
    parts.push_back(text.substr(start, at - start));
    start = at + delimiter.size();
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string Comparison(const std::string& field, const std::string& value,
                       const gis::Table& table) {
  const int32_t index = table.FindField(field);
  if (index < 0)
    throw runtime::Error::Platform("The renderer field " + field + " is not in the table");
  const bool bare =
      gis::IsNumericFieldType(table.Fields()->Field(index)->Type()) && IsNumberLiteral(value);
  return QuoteIdentifier(field) + " = " + (bare ? value : QuoteText(value));
}

}  // namespace

UniqueValueRenderer::UniqueValueRenderer(std::vector<std::string> fields,
                                         std::string fieldDelimiter)
    : mFields(std::move(fields)), mFieldDelimiter(std::move(fieldDelimiter)) {
  if (mFields.empty()) throw runtime::Error::Platform("A unique value renderer needs a field");
}

void UniqueValueRenderer::AddClass(const std::vector<std::string>& values, std::string label) {
  if (values.empty()) throw runtime::Error::Platform("A legend class needs at least one value");
  for (size_t i = 0; i < values.size(); ++i) {
    bool listed = false;
    for (const auto& value : mValues)
      listed = listed || value.text == values[i];
    for (size_t j = 0; j < i; ++j)
      listed = listed || values[j] == values[i];
    if (listed) throw runtime::Error::Platform("The value " + values[i] + " is listed already");
  }
  for (const auto& value : values)
    mValues.push_back({value, mClasses.size()});
  mClasses.push_back({values, std::move(label)});
}

void UniqueValueRenderer::UseDefault(std::string label) {
  mUseDefaultSymbol = true;
  mDefaultLabel = std::move(label);
}

int32_t UniqueValueRenderer::FieldCount() const {
  return static_cast<int32_t>(mFields.size());
}

std::string UniqueValueRenderer::Field(int32_t index) const {
  CheckIndex("Renderer field", index, mFields.size());
  return mFields[static_cast<size_t>(index)];
}

int32_t UniqueValueRenderer::ValueCount() const {
  return static_cast<int32_t>(mValues.size());
}

std::string UniqueValueRenderer::Value(int32_t index) const {
  CheckIndex("Value", index, mValues.size());
  return mValues[static_cast<size_t>(index)].text;
}

size_t UniqueValueRenderer::ClassOf(const std::string& value) const {
  for (const auto& listed : mValues)
    if (listed.text == value) return listed.legendClass;
  throw runtime::Error::Platform("The value " + value + " is not listed in the renderer");
}

std::string UniqueValueRenderer::Label(const std::string& value) const {
  return mClasses[ClassOf(value)].label;
}

void UniqueValueRenderer::SetLabel(const std::string& value, const std::string& label) {
  mClasses[ClassOf(value)].label = label;
}

int32_t UniqueValueRenderer::ClassCount() const {
  return static_cast<int32_t>(mClasses.size()) + (mUseDefaultSymbol ? 1 : 0);
}

std::string UniqueValueRenderer::Class(int32_t index) const {
  CheckIndex("Class", index, static_cast<size_t>(ClassCount()));
  const auto at = static_cast<size_t>(index);
  return at < mClasses.size() ? mClasses[at].label : mDefaultLabel;
}

std::string UniqueValueRenderer::WhereClause(int32_t index, const gis::Table& table) const {
  CheckIndex("Class", index, static_cast<size_t>(ClassCount()));
  const auto at = static_cast<size_t>(index);
  if (at == mClasses.size()) return DefaultCondition(table);
  const auto& values = mClasses[at].values;
  if (values.size() == 1) return ValueCondition(values.front(), table);
  return "(" + AnyValueCondition(values, table) + ")";
}

std::string UniqueValueRenderer::ValueCondition(const std::string& value,
                                                const gis::Table& table) const {
  if (mFields.size() == 1) return Comparison(mFields.front(), value, table);
  const auto parts =
      mFieldDelimiter.empty() ? std::vector<std::string>{value} : Split(value, mFieldDelimiter);
  if (parts.size() != mFields.size())
    throw runtime::Error::Platform("The value " + value + " does not split into " +
                                   std::to_string(mFields.size()) + " parts by \"" +
                                   mFieldDelimiter + "\"");
  std::string condition;
  for (size_t i = 0; i < parts.size(); ++i)
    condition += (i ? " AND " : "") + Comparison(mFields[i], parts[i], table);
  return condition;
}

std::string UniqueValueRenderer::AnyValueCondition(const std::vector<std::string>& values,
                                                   const gis::Table& table) const {
  std::string condition;
  for (const auto& value : values) {
    const std::string one = ValueCondition(value, table);
    condition += (condition.empty() ? "" : " OR ") + (mFields.size() > 1 ? "(" + one + ")" : one);
  }
  return condition;
}

std::string UniqueValueRenderer::DefaultCondition(const gis::Table& table) const {
  if (mValues.empty()) return "1 = 1";
  std::vector<std::string> all;
  for (const auto& value : mValues)
    all.push_back(value.text);
  // A comparison with a null is neither true nor false, so NOT alone would leave such rows
  // out; they belong to the default class.
  std::string nulls;
  for (const auto& field : mFields)
    nulls += QuoteIdentifier(field) + " IS NULL OR ";
  return "(" + nulls + "NOT (" + AnyValueCondition(all, table) + "))";
}

}  // namespace quillet::platform
