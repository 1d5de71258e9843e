#include "cli/capturing_sink.h"

#include <ostream>

#include "cli/output.h"

namespace quillet::cli {

void CapturingMessageSink::Show(const std::string& text, const std::string& title, int32_t style) {
  RecordingMessageSink::Show(text, title, style);
  if (mShown == nullptr) return;
  // The box's own closing line breaks would only leave empty lines behind.
  std::string shown = TerminalLines(text);
  while (!shown.empty() && shown.back() == '\n')
    shown.pop_back();
  *mShown << title << ": " << shown << '\n';
}

}  // namespace quillet::cli
