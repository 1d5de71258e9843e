#include "quillet/variant.h"

#include "quillet/error.h"

namespace quillet::runtime {

template <typename T>
const T& Variant::Get() const {
  if (const T* held = std::get_if<T>(&value_)) return *held;
  throw Error::TypeMismatch();
}

template const int16_t& Variant::Get<int16_t>() const;
template const int32_t& Variant::Get<int32_t>() const;
template const float& Variant::Get<float>() const;
template const double& Variant::Get<double>() const;
template const std::string& Variant::Get<std::string>() const;
template const Variant::DateValue& Variant::Get<Variant::DateValue>() const;
template const bool& Variant::Get<bool>() const;

bool Variant::IsNumber() const {
  switch (Kind()) {
    case VariantKind::kInteger:
    case VariantKind::kLong:
    case VariantKind::kSingle:
    case VariantKind::kDouble:
      return true;
    default:
      return false;
  }
}

double Variant::NumericValue() const {
  switch (Kind()) {
    case VariantKind::kEmpty:
      return 0;
    case VariantKind::kInteger:
      return AsInteger();
    case VariantKind::kLong:
      return AsLong();
    case VariantKind::kSingle:
      return AsSingle();
    case VariantKind::kDouble:
      return AsDouble();
    case VariantKind::kDate:
      return AsDateSerial();
    case VariantKind::kBoolean:
      return AsBoolean() ? -1 : 0;
    case VariantKind::kNull:
      throw Error::InvalidUseOfNull();
    case VariantKind::kString:
      break;
  }
  throw Error::TypeMismatch();
}

const char* KindName(VariantKind kind) {
  switch (kind) {
    case VariantKind::kEmpty:
      return "Empty";
    case VariantKind::kNull:
      return "Null";
    case VariantKind::kInteger:
      return "Integer";
    case VariantKind::kLong:
      return "Long";
    case VariantKind::kSingle:
      return "Single";
    case VariantKind::kDouble:
      return "Double";
    case VariantKind::kString:
      return "String";
    case VariantKind::kDate:
      return "Date";
    case VariantKind::kBoolean:
      return "Boolean";
  }
  return "?";
}

}  // namespace quillet::runtime
