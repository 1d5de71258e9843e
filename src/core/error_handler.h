#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "core/quillet_state.h"

namespace quillet {

/// The description of a caught failure: an `Error`'s description, another exception's text,
/// "" for anything else.
std::string DescriptionOf(const std::exception_ptr& failure);

/// The line number a caught failure reports (0 when it has none).
int32_t LineOf(const std::exception_ptr& failure);

/// Stores a failure the way every public method's handler does: `mMessage` becomes
/// `description`, or `fallback` ("Unknown Error in <routine>!") when that is empty;
/// `mLabelsValid` becomes false. Returns false, the method's result.
bool Fail(QuilletState& state, std::string description, std::string_view fallback);

/// Runs `body` (which returns bool) under one error handler: whatever it throws ends in
/// `Fail` with the error's description and the method's fallback text.
template <typename Body>
bool UnderErrorHandler(QuilletState& state, std::string_view fallback, Body&& body) {
  try {
    return body();
  } catch (...) {
    return Fail(state, DescriptionOf(std::current_exception()), fallback);
  }
}

/// The box of a public method's failure: `mMessage`, titled "Invalid Expression!", style 16,
/// shown only when `mShowMessages` is true.
void ShowFailureBox(QuilletState& state);

}  // namespace quillet
