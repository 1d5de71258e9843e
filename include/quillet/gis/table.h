#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "quillet/gis/cursor.h"
#include "quillet/gis/field.h"
#include "quillet/gis/query_filter.h"
#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// A table of rows.
class Table : public virtual Unknown {
 public:
  /// The index of the field with this name, or -1 when there is none.
  virtual int32_t FindField(std::string_view name) const = 0;
  virtual std::shared_ptr<gis::Fields> Fields() const = 0;
  /// The rows that the filter selects (all rows for a null filter or an empty clause), in
  /// object-id order. A where clause the platform cannot run fails with its description.
  virtual std::shared_ptr<Cursor> Search(const QueryFilter* filter, bool recycling) = 0;
};

/// The table behind a feature layer.
class FeatureClass : public virtual Table {};

/// The role of a display table that joins a second table to the layer's own: its field names
/// are qualified by their table's name (`parcels.POP`).
class JoinedTable : public virtual Table {};

/// A set of object ids of one table, such as a layer's definition selection.
class SelectionSet : public virtual Unknown {
 public:
  virtual int32_t Count() const = 0;
  /// The rows of the set that the filter selects, in object-id order.
  virtual std::shared_ptr<Cursor> Search(const QueryFilter* filter, bool recycling) = 0;
};

}  // namespace quillet::gis
