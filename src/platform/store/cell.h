#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>

#include "quillet/variant.h"

namespace quillet::platform {

/// A value on its way into a feature table: what the rows of a builder or a loader hold.
/// Converts implicitly from the literals a test writes (`{"A", 10, 2.5, nullptr}`) and from
/// a runtime `Variant`, so rows read as data.
class Cell {
 public:
  struct DateValue {
    double serial;  ///< days since 30 Dec 1899, fraction = time of day
  };
  struct BytesValue {
    std::string bytes;
  };
  /// Null, a 64-bit integer, a double, text, a date or raw bytes.
  using Storage = std::variant<std::monostate, int64_t, double, std::string, DateValue, BytesValue>;

  /// Null.
  Cell(std::nullptr_t) {}                       // NOLINT(google-explicit-constructor)
  Cell(int value) : mValue(int64_t{value}) {}   // NOLINT(google-explicit-constructor)
  Cell(long value) : mValue(int64_t{value}) {}  // NOLINT(google-explicit-constructor)
  Cell(long long value) : mValue(static_cast<int64_t>(value)) {}  // NOLINT
  Cell(double value) : mValue(value) {}                  // NOLINT(google-explicit-constructor)
  Cell(const char* text) : mValue(std::string(text)) {}  // NOLINT(google-explicit-constructor)
  Cell(std::string text) : mValue(std::move(text)) {}    // NOLINT(google-explicit-constructor)
  /// Empty and Null become null, Integer and Long integers, Single and Double doubles, a Date
  /// a date, a Boolean -1 or 0, text itself.
  Cell(const runtime::Variant& value);  // NOLINT(google-explicit-constructor)

  /// A calendar day, optionally with a time of day.
  static Cell Date(int32_t year, int32_t month, int32_t day, int32_t hour = 0, int32_t minute = 0,
                   int32_t second = 0);
  /// Raw bytes, as a geometry or a blob holds them.
  static Cell Bytes(std::string bytes);

  const Storage& Value() const { return mValue; }
  bool IsNull() const { return std::holds_alternative<std::monostate>(mValue); }

 private:
  explicit Cell(Storage value) : mValue(std::move(value)) {}
  Storage mValue;
};

}  // namespace quillet::platform
