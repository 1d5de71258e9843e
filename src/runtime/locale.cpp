#include "quillet/locale.h"

namespace quillet::runtime {

const Locale& Locale::EnUs() {
  static const Locale enUs;
  return enUs;
}

}  // namespace quillet::runtime
