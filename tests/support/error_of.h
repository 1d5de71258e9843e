#pragma once

#include <string>
#include <utility>

#include "quillet/error.h"

namespace quillet::test {

/// The runtime error that `action` raised; number 0 with the description "no error" when it
/// raised none, so a missing error fails the test's expectation on the number or text.
template <typename Action>
runtime::Error ErrorOf(Action&& action) {
  try {
    std::forward<Action>(action)();
  } catch (const runtime::Error& error) {
    return error;
  }
  return runtime::Error(0, "no error");
}

/// The number of the runtime error that `action` raised, 0 when none.
template <typename Action>
int32_t ErrorNumberOf(Action&& action) {
  return ErrorOf(std::forward<Action>(action)).Number();
}

/// The description of the runtime error that `action` raised, "no error" when none.
template <typename Action>
std::string Why(Action&& action) {
  return ErrorOf(std::forward<Action>(action)).Description();
}

}  // namespace quillet::test
