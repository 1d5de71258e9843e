#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace quillet::runtime {

/// Message box styles the component uses.
inline constexpr int32_t kStyleCritical = 16;     ///< OK button, critical-error icon
inline constexpr int32_t kStyleInformation = 64;  ///< OK button, information icon

/// Where modal message boxes go. The component never writes to a terminal itself: a host
/// chooses the sink (stderr for a command line, a recorder in tests, a dialog in a GUI).
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  /// Shows one box and returns when the user has dismissed it.
  virtual void Show(const std::string& text, const std::string& title, int32_t style) = 0;
};

/// One box as it was shown.
struct MessageBox {
  std::string text;
  std::string title;
  int32_t style = 0;
  friend bool operator==(const MessageBox&, const MessageBox&) = default;
};

/// Keeps every box shown, in order, for tests and for hosts that report later.
class RecordingMessageSink : public MessageSink {
 public:
  void Show(const std::string& text, const std::string& title, int32_t style) override;
  const std::vector<MessageBox>& Boxes() const { return boxes_; }

 private:
  std::vector<MessageBox> boxes_;
};

/// Writes each box to a stream (standard error by default) as "title: text".
class StreamMessageSink : public MessageSink {
 public:
  StreamMessageSink();
  explicit StreamMessageSink(std::ostream& out) : out_(&out) {}
  void Show(const std::string& text, const std::string& title, int32_t style) override;

 private:
  std::ostream* out_;
};

/// Shows nothing: the sink of an object whose host gave none.
class SilentMessageSink : public MessageSink {
 public:
  void Show(const std::string&, const std::string&, int32_t) override {}
};

}  // namespace quillet::runtime
