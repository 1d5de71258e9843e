#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quillet/gis/renderer.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// One symbol per legend class of listed values, and optionally a default symbol for every
/// feature no class lists. A class may hold several values (they are then "grouped"); value i
/// numbers the values across the classes in the order they were added.
///
/// Class list: the listed classes in the order added, then the default class when the default
/// symbol is in use. Where clause of a class, for a given table:
/// - one value over one field: `"TYPE" = 'A'`; text and date fields take the value in
///   apostrophes (inner ones doubled); numeric fields take a value that is a plain number bare
///   (`"POP" = 10`) and any other value as text, so no value is ever read as SQL;
/// - a value over several fields is split by the field delimiter into one comparison per
///   field, joined by AND: `"TYPE" = 'A' AND "CODE" = 1`;
/// - a class of several values ORs them inside parentheses:
///   `("TYPE" = 'B' OR "TYPE" = 'C')`, `(("TYPE" = 'A' AND "CODE" = 1) OR (...))`;
/// - the default class selects every row that no listed class selects, rows with a null in
///   a renderer field included: `("TYPE" IS NULL OR NOT ("TYPE" = 'A' OR "TYPE" = 'B'))`, or
///   `1 = 1` when nothing is listed.
/// Every clause stays one term under AND, so `( POP > 10) AND <clause>` restricts all of it.
class UniqueValueRenderer : public virtual gis::UniqueValueRenderer,
                            public virtual gis::RendererClasses {
 public:
  /// Fails without fields. A multi-field value joins its parts with `fieldDelimiter`.
  explicit UniqueValueRenderer(std::vector<std::string> fields, std::string fieldDelimiter = ", ");

  /// Adds a legend class of one or more values. Fails without values, or for a value that is
  /// listed already (values compare exactly).
  void AddClass(const std::vector<std::string>& values, std::string label);
  /// Turns the default symbol on, with the default class's label.
  void UseDefault(std::string label);

  int32_t FieldCount() const override;
  std::string Field(int32_t index) const override;
  std::string FieldDelimiter() const override { return mFieldDelimiter; }
  bool UseDefaultSymbol() const override { return mUseDefaultSymbol; }
  int32_t ValueCount() const override;
  std::string Value(int32_t index) const override;
  /// The label of the value's class; an unlisted value fails.
  std::string Label(const std::string& value) const override;
  void SetLabel(const std::string& value, const std::string& label) override;
  std::string DefaultLabel() const override { return mDefaultLabel; }
  void SetDefaultLabel(const std::string& label) override { mDefaultLabel = label; }

  int32_t ClassCount() const override;
  std::string Class(int32_t index) const override;
  /// Fails when a renderer field is not in `table`, or a value does not split into one part
  /// per field.
  std::string WhereClause(int32_t index, const gis::Table& table) const override;

 private:
  struct LegendClass {
    std::vector<std::string> values;
    std::string label;
  };
  struct ListedValue {
    std::string text;
    size_t legendClass;
  };

  size_t ClassOf(const std::string& value) const;
  std::string ValueCondition(const std::string& value, const gis::Table& table) const;
  std::string AnyValueCondition(const std::vector<std::string>& values,
                                const gis::Table& table) const;
  std::string DefaultCondition(const gis::Table& table) const;

  std::vector<std::string> mFields;
  std::string mFieldDelimiter;
  std::vector<LegendClass> mClasses;
  std::vector<ListedValue> mValues;
  bool mUseDefaultSymbol = false;
  std::string mDefaultLabel;
};

}  // namespace quillet::platform
