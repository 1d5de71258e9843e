#pragma once

#include <string>

#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// Which rows a search selects: an attribute where clause. An empty clause selects all rows.
class QueryFilter : public virtual Unknown {
 public:
  virtual std::string WhereClause() const = 0;
  virtual void SetWhereClause(const std::string& whereClause) = 0;
};

}  // namespace quillet::gis
