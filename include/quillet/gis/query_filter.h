#pragma once

#include <string>

#include "quillet/gis/unknown.h"
#include "quillet/locale.h"

namespace quillet::gis {

/// Which rows a search selects: an attribute where clause. An empty clause selects all rows.
class QueryFilter : public virtual Unknown {
 public:
  virtual std::string WhereClause() const = 0;
  virtual void SetWhereClause(const std::string& whereClause) = 0;
};

/// A query filter whose where clause writes numbers in a locale. `Quillet` writes a class
/// break into its query as its locale writes numbers (`"AREA" <= 0,75` in de-DE) and hands
/// that locale to every filter offering this role, so that the platform reads them so; a
/// platform whose filters lack it reads the numbers as its SQL does.
class LocalizedQueryFilter : public virtual Unknown {
 public:
  virtual void SetNumberLocale(const runtime::Locale& locale) = 0;
  /// The locale set; null before.
  virtual const runtime::Locale* NumberLocale() const = 0;
};

}  // namespace quillet::gis
