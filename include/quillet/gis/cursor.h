#pragma once

#include <cstdint>
#include <memory>

#include "quillet/gis/unknown.h"
#include "quillet/variant.h"

namespace quillet::gis {

/// One row read from a cursor.
class Row : public virtual Unknown {
 public:
  /// The value of field `index` (as the table's field list numbers them); Null for a null.
  virtual runtime::Variant Value(int32_t index) const = 0;
};

/// Rows selected by a search, in the table's order (ascending object id).
class Cursor : public virtual Unknown {
 public:
  /// The next row, or null after the last one. A recycling cursor may hand out the same row
  /// object each time, with new values.
  virtual std::shared_ptr<Row> NextRow() = 0;
};

}  // namespace quillet::gis
