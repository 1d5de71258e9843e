#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "quillet/message_sink.h"

namespace quillet::cli {

/// Keeps every message box, so the command can read the text of the "Valid Expression" box,
/// and shows each on a stream as "title: text" when asked to (`--messages`).
class CapturingMessageSink : public runtime::RecordingMessageSink {
 public:
  /// `shown` null: boxes are kept, not shown.
  explicit CapturingMessageSink(std::ostream* shown) : mShown(shown) {}
  void Show(const std::string& text, const std::string& title, int32_t style) override;

 private:
  std::ostream* mShown;
};

}  // namespace quillet::cli
