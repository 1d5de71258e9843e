// Formats values of every kind by arbitrary patterns in four locales, and aborts when a result
// breaks what labels rely on: a String or Null, the same on a second run, valid UTF-8 from
// valid UTF-8. Crashes, leaks, undefined behaviour and hangs are libFuzzer's to catch.
//
// The input: one byte for the value's kind, one for the first day of the week and the first
// week of the year, one for the locale, then the value (eight bytes for numbers and dates, text
// up to a NUL byte) and the pattern.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "quillet/error.h"
#include "quillet/locale.h"
#include "quillet/variant.h"
#include "runtime/format.h"
#include "runtime/utf8.h"

namespace {

using quillet::runtime::Locale;
using quillet::runtime::Variant;

const Locale& LocaleNumber(uint8_t which) {
  static const Locale locales[] = {Locale::EnUs(), Locale::FromName("de-DE"),
                                   Locale::FromName("fr-FR"), Locale::FromName("ja-JP")};
  return locales[which % 4];
}

template <typename T>
T Take(std::string_view& bytes) {
  char raw[sizeof(T)] = {};
  const size_t n = std::min(bytes.size(), sizeof(T));
  std::memcpy(raw, bytes.data(), n);
  bytes.remove_prefix(n);
  T value;
  std::memcpy(&value, raw, sizeof(T));
  return value;
}

Variant TakeValue(uint8_t kind, std::string_view& bytes) {
  switch (kind % 9) {
    case 0:
      return Variant::Empty();
    case 1:
      return Variant::Null();
    case 2:
      return Variant::Integer(Take<int16_t>(bytes));
    case 3:
      return Variant::Long(Take<int32_t>(bytes));
    case 4:
      return Variant::Single(Take<float>(bytes));
    case 5:
      return Variant::Double(Take<double>(bytes));
    case 6: {
      const size_t end = std::min(bytes.find('\0'), bytes.size());
      std::string text(bytes.substr(0, end));
      bytes.remove_prefix(std::min(end + 1, bytes.size()));
      return Variant::String(std::move(text));
    }
    case 7:
      return Variant::Date(Take<double>(bytes));
    default:
      return Variant::Boolean(Take<uint8_t>(bytes) & 1);
  }
}

bool ValidUtf8(const std::string& text) {
  return quillet::runtime::InvalidUtf8(text) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const uint8_t kind = static_cast<uint8_t>(bytes[0]);
  const uint8_t weeks = static_cast<uint8_t>(bytes[1]);
  const Locale& locale = LocaleNumber(static_cast<uint8_t>(bytes[2]));
  bytes.remove_prefix(3);
  const Variant value = TakeValue(kind, bytes);
  const std::string pattern(bytes);
  const int32_t firstDay = weeks % 8;
  const int32_t firstWeek = (weeks >> 3) % 4;

  Variant result;
  try {
    result = quillet::runtime::Format(value, pattern, firstDay, firstWeek, locale);
  } catch (const quillet::runtime::Error&) {
    return 0;
  }
  CHECK(result.IsString() || result.IsNull());
  CHECK(quillet::runtime::Format(value, pattern, firstDay, firstWeek, locale) == result);
  const bool validIn = ValidUtf8(pattern) && (!value.IsString() || ValidUtf8(value.AsString()));
  if (validIn && result.IsString()) CHECK(ValidUtf8(result.AsString()));
  return 0;
}
