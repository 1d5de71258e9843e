#include "platform/store/feature_store.h"

#include "runtime/case.h"

namespace quillet::platform {

FeatureStore::FeatureStore() : mConnection(SqliteConnection::InMemory()) {}

std::shared_ptr<FeatureTable> FeatureStore::CreateTable(
    std::string name, const std::vector<FieldDefinition>& fields) {
  auto table = std::make_shared<FeatureTable>(mConnection, std::move(name), fields);
  mTables.push_back(table);
  return table;
}

std::shared_ptr<FeatureTable> FeatureStore::Table(std::string_view name) const {
  for (const auto& table : mTables)
    if (runtime::EqualsIgnoreCase(table->Name(), name)) return table;
  return nullptr;
}

}  // namespace quillet::platform
