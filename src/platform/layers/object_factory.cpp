#include "platform/layers/object_factory.h"

#include "platform/tables/query_filter.h"
#include "platform/tables/statistics.h"

namespace quillet::platform {

std::shared_ptr<gis::QueryFilter> ObjectFactory::CreateQueryFilter() {
  return std::make_shared<platform::QueryFilter>();
}

std::shared_ptr<gis::DataStatistics> ObjectFactory::CreateDataStatistics() {
  return std::make_shared<platform::DataStatistics>();
}

}  // namespace quillet::platform
