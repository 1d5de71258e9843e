#include "expression/formatting_functions.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "expression/label_size.h"
#include "quillet/error.h"
#include "runtime/case.h"
#include "runtime/format.h"
#include "runtime/math_functions.h"
#include "runtime/number_format.h"
#include "runtime/numeric.h"
#include "runtime/string_functions.h"
#include "runtime/text_form.h"
#include "runtime/utf8.h"

namespace quillet::formatting {
namespace {

using runtime::Locale;
using runtime::Variant;

std::string TextOf(const Variant& value, const Locale& locale) {
  if (value.IsNull()) throw runtime::Error::InvalidUseOfNull();
  return runtime::ToText(value, locale);
}

int32_t WholeOf(const Variant& argument, const Locale& locale) {
  return runtime::ToLong(argument, locale);
}

constexpr int32_t kDefault = runtime::kTristateUseDefault;

}  // namespace

Variant Abs(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::Abs(value, locale);
}

Variant FormatCurrency(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::FormatCurrency(value, -1, kDefault, kDefault, kDefault, locale);
}

Variant Format(const Variant& value, const Variant& pattern, const Variant&, const Locale& locale) {
  return runtime::Format(value, TextOf(pattern, locale), 1, 1, locale);
}

Variant FormatNumber(const Variant& value, const Variant& digits, const Variant&,
                     const Locale& locale) {
  return runtime::FormatNumber(value, WholeOf(digits, locale), kDefault, kDefault, kDefault,
                               locale);
}

Variant LCase(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::LCase(TextOf(value, locale));
}

Variant Left(const Variant& value, const Variant& length, const Variant&, const Locale& locale) {
  return runtime::Left(TextOf(value, locale), WholeOf(length, locale));
}

Variant LTrim(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::LTrim(TextOf(value, locale));
}

Variant Mid(const Variant& value, const Variant& start, const Variant& length,
            const Locale& locale) {
  return runtime::Mid(TextOf(value, locale), WholeOf(start, locale), WholeOf(length, locale));
}

Variant Replace(const Variant& value, const Variant& find, const Variant& replacement,
                const Locale& locale) {
  const std::string text = TextOf(value, locale);
  // A text that is longer already may keep its length, as the other functions let it.
  const size_t longest = std::max(kLongestLabel, runtime::CodePointCount(text));
  return runtime::Replace(text, TextOf(find, locale), TextOf(replacement, locale), 1, -1,
                          runtime::kTextCompare, longest);
}

Variant Right(const Variant& value, const Variant& length, const Variant&, const Locale& locale) {
  return runtime::Right(TextOf(value, locale), WholeOf(length, locale));
}

Variant Round(const Variant& value, const Variant& digits, const Variant&, const Locale& locale) {
  return runtime::Round(value, WholeOf(digits, locale), locale);
}

Variant RTrim(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::RTrim(TextOf(value, locale));
}

Variant Spaces(const Variant& value, const Variant& count, const Variant&, const Locale& locale) {
  const std::string text = TextOf(value, locale);
  const int32_t blanks = WholeOf(count, locale);
  if (blanks <= 0) return text;
  const std::u32string characters = runtime::ToCodePoints(text);
  if (characters.size() * (static_cast<size_t>(blanks) + 1) > kLongestLabel)
    throw runtime::Error::OutOfStringSpace();
  std::string out;
  for (char32_t c : characters) {
    runtime::AppendUtf8(out, c);
    out.append(static_cast<size_t>(blanks), ' ');
  }
  return out;
}

Variant TCase(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::ProperCase(TextOf(value, locale));
}

Variant Trim(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::Trim(TextOf(value, locale));
}

Variant UCase(const Variant& value, const Variant&, const Variant&, const Locale& locale) {
  return runtime::UCase(TextOf(value, locale));
}

}  // namespace quillet::formatting
