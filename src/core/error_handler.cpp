#include "core/error_handler.h"

#include <utility>

#include "quillet/error.h"

namespace quillet {

std::string DescriptionOf(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const runtime::Error& error) {
    return error.Description();
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "";
  }
}

int32_t LineOf(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const runtime::Error& error) {
    return error.Line();
  } catch (...) {
    return 0;
  }
}

bool Fail(QuilletState& state, std::string description, std::string_view fallback) {
  state.mMessage = description.empty() ? std::string(fallback) : std::move(description);
  state.mLabelsValid = false;
  return false;
}

void ShowFailureBox(QuilletState& state) {
  if (state.mShowMessages && state.messages)
    state.messages->Show(state.mMessage, "Invalid Expression!", runtime::kStyleCritical);
}

}  // namespace quillet
