#pragma once

#include <string>

#include "quillet/gis/query_filter.h"

namespace quillet::platform {

/// An attribute query: a where clause that searches hand to SQLite as it stands.
class QueryFilter : public virtual gis::QueryFilter {
 public:
  QueryFilter() = default;
  explicit QueryFilter(std::string whereClause) : mWhereClause(std::move(whereClause)) {}

  std::string WhereClause() const override { return mWhereClause; }
  void SetWhereClause(const std::string& whereClause) override { mWhereClause = whereClause; }

 private:
  std::string mWhereClause;
};

}  // namespace quillet::platform
