#include "map/map_error.h"

namespace quillet::map {

runtime::Error MapError(const std::string& file, const std::string& where,
                        const std::string& what) {
  return runtime::Error(kMapError, file + ": " + (where.empty() ? "" : where + ": ") + what);
}

}  // namespace quillet::map
