#include "runtime/number_modes.h"

namespace quillet::runtime {

bool IsGroupBoundary(int32_t position, int32_t groupSize, int32_t secondaryGroupSize) {
  const int32_t primary = groupSize > 0 ? groupSize : 3;
  const int32_t secondary = secondaryGroupSize > 0 ? secondaryGroupSize : primary;
  return position >= primary && (position - primary) % secondary == 0;
}

std::string ApplyPicture(std::string_view picture, std::string_view number,
                         std::string_view symbol) {
  std::string out;
  for (size_t i = 0; i < picture.size(); ++i) {
    if (picture.substr(i, 3) == "1.1") {
      out += number;
      i += 2;
    } else if (picture[i] == '$') {
      out += symbol;
    } else {
      out += picture[i];
    }
  }
  return out;
}

}  // namespace quillet::runtime
