#include "quillet/message_sink.h"

#include <iostream>

namespace quillet::runtime {

void RecordingMessageSink::Show(const std::string& text, const std::string& title, int32_t style) {
  boxes_.push_back({text, title, style});
}

StreamMessageSink::StreamMessageSink() : out_(&std::cerr) {}

void StreamMessageSink::Show(const std::string& text, const std::string& title, int32_t) {
  *out_ << title << ": " << text << '\n';
}

}  // namespace quillet::runtime
