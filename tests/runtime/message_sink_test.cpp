#include "quillet/message_sink.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quillet::runtime {
namespace {

TEST(MessageSink, RecorderKeepsEveryBoxInOrder) {
  RecordingMessageSink sink;
  sink.Show("Expression is empty.", "Invalid Expression!", kStyleCritical);
  sink.Show("SAMPLE LABEL: 12", "Valid Expression", kStyleInformation);
  ASSERT_EQ(sink.Boxes().size(), 2u);
  EXPECT_EQ(sink.Boxes()[0], (MessageBox{"Expression is empty.", "Invalid Expression!", 16}));
  EXPECT_EQ(sink.Boxes()[1], (MessageBox{"SAMPLE LABEL: 12", "Valid Expression", 64}));
}

TEST(MessageSink, StreamSinkWritesTitleAndText) {
  std::ostringstream out;
  StreamMessageSink sink(out);
  sink.Show("Line one\r\nLine two", "Valid Expression", kStyleInformation);
  EXPECT_EQ(out.str(), "Valid Expression: Line one\r\nLine two\n");
}

}  // namespace
}  // namespace quillet::runtime
