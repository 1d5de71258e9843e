#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace quillet::runtime {

/// The kinds of value a `Variant` holds, in the runtime's own order.
enum class VariantKind : uint8_t {
  kEmpty,    ///< no value yet: 0 in numeric context, "" as text
  kNull,     ///< "no valid data"
  kInteger,  ///< 16-bit signed
  kLong,     ///< 32-bit signed
  kSingle,   ///< IEEE 32-bit
  kDouble,   ///< IEEE 64-bit
  kString,   ///< UTF-8 text
  kDate,     ///< days since 30 Dec 1899 00:00; the fraction is the time of day
  kBoolean,  ///< True / False
};

/// A value of the runtime: what a field holds, what a summary yields, what a formatting
/// function takes and gives back. Values are compared by kind and content.
class Variant {
 public:
  /// An Empty value.
  Variant() = default;
  /// A String value (so that text literals convert naturally).
  Variant(std::string text) : value_(std::move(text)) {}    // NOLINT(google-explicit-constructor)
  Variant(const char* text) : value_(std::string(text)) {}  // NOLINT(google-explicit-constructor)

  static Variant Empty() { return Variant(); }
  static Variant Null() { return Variant(NullValue{}); }
  static Variant Integer(int16_t value) { return Variant(value); }
  static Variant Long(int32_t value) { return Variant(value); }
  static Variant Single(float value) { return Variant(value); }
  static Variant Double(double value) { return Variant(value); }
  static Variant String(std::string value) { return Variant(std::move(value)); }
  /// A Date from its serial number (days since 30 Dec 1899, fraction = time of day).
  static Variant Date(double serial) { return Variant(DateValue{serial}); }
  static Variant Boolean(bool value) { return Variant(value); }

  VariantKind Kind() const { return static_cast<VariantKind>(value_.index()); }
  bool IsEmpty() const { return Kind() == VariantKind::kEmpty; }
  bool IsNull() const { return Kind() == VariantKind::kNull; }
  bool IsString() const { return Kind() == VariantKind::kString; }
  /// Integer, Long, Single or Double.
  bool IsNumber() const;

  /// The content of a value of exactly that kind; any other kind is a type mismatch (error 13).
  int16_t AsInteger() const { return Get<int16_t>(); }
  int32_t AsLong() const { return Get<int32_t>(); }
  float AsSingle() const { return Get<float>(); }
  double AsDouble() const { return Get<double>(); }
  const std::string& AsString() const { return Get<std::string>(); }
  double AsDateSerial() const { return Get<DateValue>().serial; }
  bool AsBoolean() const { return Get<bool>(); }

  /// The number a numeric kind, a Date (its serial), a Boolean (-1 / 0) or Empty (0) stands
  /// for. Null, String and the rest are a type mismatch; text is parsed by the numeric
  /// conversions of runtime/numeric.h, which know the locale.
  double NumericValue() const;

  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }

 private:
  struct NullValue {
    friend bool operator==(NullValue, NullValue) { return true; }
  };
  struct DateValue {
    double serial;
    friend bool operator==(DateValue a, DateValue b) { return a.serial == b.serial; }
  };
  using Storage = std::variant<std::monostate, NullValue, int16_t, int32_t, float, double,
                               std::string, DateValue, bool>;

  template <typename T>
  explicit Variant(T value) : value_(std::move(value)) {}

  template <typename T>
  const T& Get() const;

  Storage value_;
};

/// The name of a kind, for messages and test output ("Empty", "Long", ...).
const char* KindName(VariantKind kind);

}  // namespace quillet::runtime
