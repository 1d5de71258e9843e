#pragma once

#include <memory>

#include "quillet/error.h"

namespace quillet::gis {

/// The root of every platform object. An object offers roles by deriving (virtually) from the
/// role interfaces; a type test asks whether it offers one, as `As<Role>(object)` does.
class Unknown {
 public:
  virtual ~Unknown() = default;
};

/// The object in the given role, or null when it does not offer that role.
template <typename Role, typename From>
std::shared_ptr<Role> As(const std::shared_ptr<From>& object) {
  return std::dynamic_pointer_cast<Role>(object);
}

/// Whether an object offers a role.
template <typename Role, typename From>
bool Is(const std::shared_ptr<From>& object) {
  return std::dynamic_pointer_cast<Role>(object) != nullptr;
}

/// The object in the given role; an object that does not offer it is a type mismatch
/// (error 13), as a failed interface cast is on the platform.
template <typename Role, typename From>
std::shared_ptr<Role> Require(const std::shared_ptr<From>& object) {
  auto role = std::dynamic_pointer_cast<Role>(object);
  if (!role) throw runtime::Error::TypeMismatch();
  return role;
}

}  // namespace quillet::gis
