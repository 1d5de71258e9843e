#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// The platform's field type codes. 0, 1, 2, 3 and 6 are numeric.
enum FieldType : int32_t {
  kFieldSmallInteger = 0,
  kFieldInteger = 1,
  kFieldSingle = 2,
  kFieldDouble = 3,
  kFieldString = 4,
  kFieldDate = 5,
  kFieldObjectId = 6,
  kFieldGeometry = 7,
  kFieldBlob = 8,
};

/// Whether a type code is one of the numeric ones.
constexpr bool IsNumericFieldType(int32_t type) {
  return type == kFieldSmallInteger || type == kFieldInteger || type == kFieldSingle ||
         type == kFieldDouble || type == kFieldObjectId;
}

/// One column of a table.
class Field : public virtual Unknown {
 public:
  virtual std::string Name() const = 0;
  /// The type code (`FieldType`).
  virtual int32_t Type() const = 0;
};

/// The columns of a table, by index from 0.
class Fields : public virtual Unknown {
 public:
  virtual int32_t FieldCount() const = 0;
  /// Field `index`; an index outside 0..FieldCount()-1 fails.
  virtual std::shared_ptr<gis::Field> Field(int32_t index) const = 0;
};

}  // namespace quillet::gis
