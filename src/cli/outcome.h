#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace quillet::cli {

/// Exit statuses of the command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRefused = 1;   ///< the component returned false
inline constexpr int kExitBadInput = 2;  ///< bad usage, or input that cannot be read

/// What one command reports: the keys of its `--json` object, which plain output shows too.
struct Outcome {
  bool ok = false;
  std::string message;
  std::vector<std::string> labels;
  /// labels, set, reset: the legend's entries in the order the file shows them, each with
  /// what it stands for, its label and whether it was skipped.
  std::optional<nlohmann::ordered_json> entries;
  /// What made a failed label run fail underneath `message` (`Quillet::Cause`).
  std::optional<std::string> cause;
  bool skippedLegendItems = false;
  std::optional<std::string> sampleLabel;
  std::optional<std::string> instructions;
  std::optional<std::vector<std::string>> originalLabels;
  /// show: one object per layer.
  std::optional<nlohmann::ordered_json> layers;
  /// set, reset: the file has no place for the labels and was left as it was (the message
  /// says so; plain output shows it on standard error).
  bool unchanged = false;
  /// init without --output: the new map document's text.
  std::optional<std::string> document;
  /// How many of the labels, the sample and the instructions held bytes that are not UTF-8 (from
  /// the layer's data) and show U+FFFD in their place, as the map holds them.
  int labelsMadeValid = 0;
  /// show, plain: the report's lines.
  std::vector<std::string> report;

  int ExitStatus() const { return ok ? kExitSuccess : kExitRefused; }
};

}  // namespace quillet::cli
