#include <chrono>
#include <random>
#include <thread>

#include "reliability_support.h"

namespace quillet::test {
namespace {

using namespace std::chrono_literals;

const Lines kExamples = {"g20.csv", "g20.csvt", "world.json"};
// Two dozen kills: some land while the map is saved, and the suite stays short.
constexpr int kRuns = 24;

Lines Set(const fs::path& map, const std::string& expression) {
  return {"set", map.string(), "--layer", "Countries by continent", "--expression", expression};
}

// SIGKILL at random points of set, saving included: the map is always the old one or the new
// one, whole, its stored originals with it; and the next set removes the temporary files the
// killed ones left. (That no command writes beside the data: no_write_to_data_test.cpp.)
TEST(Interrupted, SetKilledAnywhereLeavesTheOldMapOrTheNew) {
  ExampleCopy copy;
  const fs::path map = copy.Map();
  // Neither reads the labels it replaces, so each gives the same map whatever stood before.
  const std::string expressions[] = {"[pop].Sum.FormatNumber(0) people", "[pop].Count countries"};
  // The two states the map then takes by turns, and how long a set takes.
  std::string states[2];
  const auto started = std::chrono::steady_clock::now();
  for (int i : {0, 1}) {
    ASSERT_EQ(Quillet(Set(map, expressions[i])).status, 0);
    states[i] = ReadText(map);
  }
  const auto uncut = (std::chrono::steady_clock::now() - started) / 2;

  const unsigned seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int64_t> point(0, uncut / 1us * 6 / 5);
  for (int run = 0; run < kRuns; ++run) {
    const int next = ReadText(map) == states[0] ? 1 : 0;
    const pid_t set = StartQuillet(Set(map, expressions[next]));
    std::this_thread::sleep_for(std::chrono::microseconds(point(random)));
    kill(set, SIGKILL);
    const int status = Finish(set);
    ASSERT_TRUE(status == 0 || status == 128 + SIGKILL) << status;
    const std::string now = ReadText(map);
    ASSERT_TRUE(now == states[0] || now == states[1]) << "run " << run << ":\n" << now;
  }

  ASSERT_EQ(Quillet(Set(map, expressions[0])).status, 0);
  EXPECT_EQ(Listing(map.parent_path()), kExamples);
}

// SIGINT and SIGTERM while set writes its temporary file: the process ends by the signal, and
// neither the temporary file nor any change to the map remains. The map is made large so that
// writing it takes a while; the signal goes out as soon as the temporary file appears.
TEST(Interrupted, SetInterruptedWhileSavingLeavesNothingBehind) {
  ExampleCopy copy;
  const fs::path map = copy.Map();
  std::string text = ReadText(map);
  text.insert(text.rfind('}'), ", \"padding\": \"" + std::string(8 << 20, 'x') + "\"");
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGTERM");
    bool interrupted = false;
    for (int attempt = 0; attempt < 5 && !interrupted; ++attempt) {
      WriteText(map, text);
      const pid_t set = StartQuillet(Set(map, "[pop].Sum"));
      // Until the temporary file appears beside the map, or long after a set would have ended.
      const auto deadline = std::chrono::steady_clock::now() + 10s;
      while (Listing(map.parent_path()) == kExamples && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(1ms);  // leaves the processor to the set it waits for
      kill(set, signal);
      const int status = Finish(set);
      interrupted = status == 128 + signal;
      EXPECT_EQ(Listing(map.parent_path()), kExamples);
      if (interrupted) {
        EXPECT_TRUE(ReadText(map) == text);
      } else {
        ASSERT_EQ(status, 0);  // done before the signal: try again
      }
    }
    EXPECT_TRUE(interrupted) << "every set finished before the signal";
  }
}

}  // namespace
}  // namespace quillet::test
