#include "quillet/error.h"

#include <utility>

namespace quillet::runtime {

Error::Error(int32_t number, std::string description, int32_t line)
    : number_(number), description_(std::move(description)), line_(line) {}

Error Error::Undescribed() {
  return Error(0, "");
}
Error Error::InvalidProcedureCall() {
  return Error(kInvalidProcedureCall, "Invalid procedure call or argument");
}
Error Error::Overflow() {
  return Error(kOverflow, "Overflow");
}
Error Error::SubscriptOutOfRange() {
  return Error(kSubscriptOutOfRange, "Subscript out of range");
}
Error Error::TypeMismatch() {
  return Error(kTypeMismatch, "Type mismatch");
}
Error Error::OutOfStringSpace() {
  return Error(kOutOfStringSpace, "Out of string space");
}
Error Error::InvalidUseOfNull() {
  return Error(kInvalidUseOfNull, "Invalid use of Null");
}
Error Error::DuplicateKey() {
  return Error(kDuplicateKey, "This key is already associated with an element of this collection");
}
Error Error::Platform(std::string description) {
  return Error(kPlatform, std::move(description));
}

}  // namespace quillet::runtime
