#include "platform/store/stored_value.h"

#include <cstdio>
#include <limits>
#include <type_traits>

#include "quillet/gis/field.h"
#include "runtime/date.h"

namespace quillet::platform {
namespace {

// Reads exactly `count` digits at `at`, advancing it.
std::optional<int32_t> Digits(std::string_view text, size_t& at, size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int32_t value = 0;
  for (size_t i = 0; i < count; ++i) {
    const char c = text[at + i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  at += count;
  return value;
}

bool Expect(std::string_view text, size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

bool IsZone(std::string_view rest) {
  if (rest.empty() || rest == "Z") return true;
  if (rest.size() != 6 || (rest[0] != '+' && rest[0] != '-') || rest[3] != ':') return false;
  size_t at = 1;
  return Digits(rest, at, 2) && Expect(rest, at, ':') && Digits(rest, at, 2);
}

}  // namespace

std::string FormatStoredDate(double serial) {
  const runtime::DateParts parts = runtime::SplitDateSerial(serial);
  char text[32];
  if (runtime::HasTimePart(serial)) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.year, parts.month,
                  parts.day, parts.hour, parts.minute, parts.second);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.year, parts.month, parts.day);
  }
  return text;
}

std::optional<double> ParseStoredDate(std::string_view text) {
  size_t at = 0;
  const auto year = Digits(text, at, 4);
  if (!year || !Expect(text, at, '-')) return std::nullopt;
  const auto month = Digits(text, at, 2);
  if (!month || !Expect(text, at, '-')) return std::nullopt;
  const auto day = Digits(text, at, 2);
  if (!day || *month < 1 || *month > 12 || *day < 1) return std::nullopt;
  const double dayPart = runtime::DateSerial(*year, *month, *day);
  const runtime::DateParts check = runtime::SplitDateSerial(dayPart);
  if (check.month != *month || check.day != *day) return std::nullopt;  // 2021-02-30

  double seconds = 0;
  if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
    ++at;
    const auto hour = Digits(text, at, 2);
    if (!hour || !Expect(text, at, ':')) return std::nullopt;
    const auto minute = Digits(text, at, 2);
    if (!minute || *hour > 23 || *minute > 59) return std::nullopt;
    seconds = *hour * 3600.0 + *minute * 60.0;
    if (Expect(text, at, ':')) {
      const auto second = Digits(text, at, 2);
      if (!second || *second > 59) return std::nullopt;
      seconds += *second;
      // Dates are kept to the second, as a copy of any source keeps them.
      if (Expect(text, at, '.')) {
        const size_t start = at;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
          ++at;
        if (at == start) return std::nullopt;
      }
    }
  }
  if (!IsZone(text.substr(at))) return std::nullopt;
  const double timePart = seconds / 86400.0;
  return dayPart < 0 ? dayPart - timePart : dayPart + timePart;
}

runtime::Variant WholeNumberValue(int64_t value) {
  if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
    return runtime::Variant::Long(static_cast<int32_t>(value));
  return runtime::Variant::Double(static_cast<double>(value));
}

runtime::Variant ReadStoredValue(const SqliteStatement& statement, int column, int32_t fieldType) {
  using runtime::Variant;
  if (fieldType == gis::kFieldGeometry || fieldType == gis::kFieldBlob) {
    // No runtime value holds shapes or bytes: a present one reads as Empty.
    return statement.ColumnStorage(column) == StorageClass::kNull ? Variant::Null()
                                                                  : Variant::Empty();
  }
  switch (statement.ColumnStorage(column)) {
    case StorageClass::kNull:
      return Variant::Null();
    case StorageClass::kBlob:
      return Variant::Empty();
    case StorageClass::kText: {
      std::string text = statement.ColumnText(column);
      if (fieldType == gis::kFieldDate) {
        if (const auto serial = ParseStoredDate(text)) return Variant::Date(*serial);
      }
      return Variant::String(std::move(text));
    }
    case StorageClass::kInteger: {
      const int64_t value = statement.ColumnInteger(column);
      switch (fieldType) {
        case gis::kFieldSmallInteger:
          if (value >= std::numeric_limits<int16_t>::min() &&
              value <= std::numeric_limits<int16_t>::max())
            return Variant::Integer(static_cast<int16_t>(value));
          return WholeNumberValue(value);
        case gis::kFieldSingle:
          return Variant::Single(static_cast<float>(value));
        case gis::kFieldDouble:
          return Variant::Double(static_cast<double>(value));
        case gis::kFieldString:
          return Variant::String(statement.ColumnText(column));
        case gis::kFieldDate:
          return Variant::Date(static_cast<double>(value));
        default:
          return WholeNumberValue(value);
      }
    }
    case StorageClass::kReal: {
      const double value = statement.ColumnDouble(column);
      switch (fieldType) {
        case gis::kFieldSingle:
          return Variant::Single(static_cast<float>(value));
        case gis::kFieldString:
          return Variant::String(statement.ColumnText(column));
        case gis::kFieldDate:
          return Variant::Date(value);
        default:
          return Variant::Double(value);
      }
    }
  }
  return Variant::Null();
}

void BindStoredValue(SqliteStatement& statement, int parameter, const Cell& cell,
                     int32_t fieldType) {
  std::visit(
      [&](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          statement.BindNull(parameter);
        } else if constexpr (std::is_same_v<T, int64_t>) {
          statement.BindInteger(parameter, value);
        } else if constexpr (std::is_same_v<T, double>) {
          statement.BindDouble(parameter, value);
        } else if constexpr (std::is_same_v<T, std::string>) {
          const auto serial = fieldType == gis::kFieldDate ? ParseStoredDate(value) : std::nullopt;
          statement.BindText(parameter, serial ? FormatStoredDate(*serial) : value);
        } else if constexpr (std::is_same_v<T, Cell::DateValue>) {
          statement.BindText(parameter, FormatStoredDate(value.serial));
        } else {
          statement.BindBlob(parameter, value.bytes.data(), value.bytes.size());
        }
      },
      cell.Value());
}

}  // namespace quillet::platform
