#pragma once

#include <memory>

#include "quillet/gis/query_filter.h"
#include "quillet/gis/statistics.h"
#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// Creates the platform objects that the component makes for itself rather than receives:
/// query filters and statistics. A host hands the platform's factory to `Quillet`.
class ObjectFactory : public virtual Unknown {
 public:
  virtual std::shared_ptr<QueryFilter> CreateQueryFilter() = 0;
  virtual std::shared_ptr<DataStatistics> CreateDataStatistics() = 0;
};

}  // namespace quillet::gis
