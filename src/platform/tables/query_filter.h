#pragma once

#include <optional>
#include <string>

#include "quillet/gis/query_filter.h"
#include "quillet/locale.h"

namespace quillet::platform {

/// An attribute query: a where clause that searches hand to the database, the numbers of a
/// class's range read in the locale they were written in (`WithSqlNumbers`).
class QueryFilter : public virtual gis::QueryFilter, public virtual gis::LocalizedQueryFilter {
 public:
  QueryFilter() = default;
  explicit QueryFilter(std::string whereClause) : mWhereClause(std::move(whereClause)) {}

  std::string WhereClause() const override { return mWhereClause; }
  void SetWhereClause(const std::string& whereClause) override { mWhereClause = whereClause; }
  void SetNumberLocale(const runtime::Locale& locale) override { mLocale = locale; }
  const runtime::Locale* NumberLocale() const override { return mLocale ? &*mLocale : nullptr; }

 private:
  std::string mWhereClause;
  std::optional<runtime::Locale> mLocale;
};

}  // namespace quillet::platform
