#include "platform/store/platform_error.h"

#include <string>

namespace quillet::platform {

runtime::Error IndexOutOfRange(std::string_view what, int32_t index, int32_t count) {
  return runtime::Error::Platform(std::string(what) + " index " + std::to_string(index) +
                                  " is out of range (" + std::to_string(count) + " in all)");
}

}  // namespace quillet::platform
