#pragma once

#include <memory>

#include "quillet/gis/object_factory.h"

namespace quillet::platform {

/// Makes this platform's query filters and statistics; the factory a host hands to `Quillet`
/// together with layers of this platform.
class ObjectFactory : public virtual gis::ObjectFactory {
 public:
  std::shared_ptr<gis::QueryFilter> CreateQueryFilter() override;
  std::shared_ptr<gis::DataStatistics> CreateDataStatistics() override;
};

}  // namespace quillet::platform
