#pragma once

#include <ostream>

#include "quillet/locale.h"
#include "quillet/variant.h"
#include "runtime/text_form.h"

namespace quillet::runtime {

/// Readable failure output for values: the kind and the text form.
inline void PrintTo(const Variant& value, std::ostream* out) {
  *out << KindName(value.Kind()) << " \"" << ToText(value, Locale::EnUs()) << '"';
}

}  // namespace quillet::runtime
