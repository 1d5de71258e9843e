#include "runtime/locale.h"

namespace quillet::runtime {
namespace {

Locale& Current() {
  static Locale current;
  return current;
}

}  // namespace

const Locale& Locale::EnUs() {
  static const Locale enUs;
  return enUs;
}

const Locale& CurrentLocale() {
  return Current();
}

void SetCurrentLocale(const Locale& locale) {
  Current() = locale;
}

}  // namespace quillet::runtime
