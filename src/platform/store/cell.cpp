#include "platform/store/cell.h"

#include "runtime/date.h"

namespace quillet::platform {

Cell::Cell(const runtime::Variant& value) {
  using runtime::VariantKind;
  switch (value.Kind()) {
    case VariantKind::kEmpty:
    case VariantKind::kNull:
      break;
    case VariantKind::kInteger:
      mValue = int64_t{value.AsInteger()};
      break;
    case VariantKind::kLong:
      mValue = int64_t{value.AsLong()};
      break;
    case VariantKind::kSingle:
      mValue = double{value.AsSingle()};
      break;
    case VariantKind::kDouble:
      mValue = value.AsDouble();
      break;
    case VariantKind::kString:
      mValue = value.AsString();
      break;
    case VariantKind::kDate:
      mValue = DateValue{value.AsDateSerial()};
      break;
    case VariantKind::kBoolean:
      mValue = int64_t{value.AsBoolean() ? -1 : 0};
      break;
  }
}

Cell Cell::Date(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute,
                int32_t second) {
  const double dayPart = runtime::DateSerial(year, month, day);
  const double timePart = runtime::TimeSerial(hour, minute, second);
  // Before the epoch the whole part counts toward zero and the time is the fraction's size.
  return Cell(Storage(DateValue{dayPart < 0 ? dayPart - timePart : dayPart + timePart}));
}

Cell Cell::Bytes(std::string bytes) {
  return Cell(Storage(BytesValue{std::move(bytes)}));
}

}  // namespace quillet::platform
