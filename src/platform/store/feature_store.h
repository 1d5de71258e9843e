#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/store/sqlite_connection.h"
#include "platform/tables/feature_table.h"
#include "platform/tables/field.h"

namespace quillet::platform {

/// The embedded store: one in-memory SQLite database whose tables share its one connection.
/// Tables keep the connection alive, so they may outlive the store object.
class FeatureStore {
 public:
  FeatureStore();

  /// A new table; see `FeatureTable` for what it accepts. A name in use fails with SQLite's
  /// description.
  std::shared_ptr<FeatureTable> CreateTable(std::string name,
                                            const std::vector<FieldDefinition>& fields);
  /// The table of that name (without regard to letter case), or null.
  std::shared_ptr<FeatureTable> Table(std::string_view name) const;

  const std::shared_ptr<SqliteConnection>& Connection() const { return mConnection; }

 private:
  std::shared_ptr<SqliteConnection> mConnection;
  std::vector<std::shared_ptr<FeatureTable>> mTables;
};

}  // namespace quillet::platform
