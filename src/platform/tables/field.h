#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "quillet/gis/field.h"

namespace quillet::platform {

/// A column to create: its name and its type code (`gis::FieldType`).
struct FieldDefinition {
  std::string name;
  int32_t type = gis::kFieldString;
};

/// One column of a table of the store.
class Field : public virtual gis::Field {
 public:
  explicit Field(FieldDefinition definition) : mDefinition(std::move(definition)) {}
  std::string Name() const override { return mDefinition.name; }
  int32_t Type() const override { return mDefinition.type; }

 private:
  FieldDefinition mDefinition;
};

/// The columns of a table, in order.
class Fields : public virtual gis::Fields {
 public:
  explicit Fields(const std::vector<FieldDefinition>& definitions);

  int32_t FieldCount() const override;
  /// Fails with "Field index ... is out of range" outside 0..FieldCount()-1.
  std::shared_ptr<gis::Field> Field(int32_t index) const override;

  /// The index of the field whose name equals `name` without regard to letter case, or -1.
  int32_t Find(std::string_view name) const;
  const std::vector<FieldDefinition>& Definitions() const { return mDefinitions; }
  /// The type codes, by index.
  std::vector<int32_t> Types() const;

 private:
  std::vector<FieldDefinition> mDefinitions;
  std::vector<std::shared_ptr<platform::Field>> mFields;
};

}  // namespace quillet::platform
