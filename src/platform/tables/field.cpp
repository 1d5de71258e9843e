#include "platform/tables/field.h"

#include "platform/store/platform_error.h"
#include "runtime/case.h"

namespace quillet::platform {

Fields::Fields(const std::vector<FieldDefinition>& definitions) : mDefinitions(definitions) {
  for (const auto& definition : definitions)
    mFields.push_back(std::make_shared<platform::Field>(definition));
}

int32_t Fields::FieldCount() const {
  return static_cast<int32_t>(mFields.size());
}

std::shared_ptr<gis::Field> Fields::Field(int32_t index) const {
  CheckIndex("Field", index, mFields.size());
  return mFields[static_cast<size_t>(index)];
}

int32_t Fields::Find(std::string_view name) const {
  for (size_t i = 0; i < mDefinitions.size(); ++i)
    if (runtime::EqualsIgnoreCase(mDefinitions[i].name, name)) return static_cast<int32_t>(i);
  return -1;
}

std::vector<int32_t> Fields::Types() const {
  std::vector<int32_t> types;
  for (const auto& definition : mDefinitions)
    types.push_back(definition.type);
  return types;
}

}  // namespace quillet::platform
