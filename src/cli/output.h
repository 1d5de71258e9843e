#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "cli/command_options.h"
#include "cli/outcome.h"

namespace quillet::cli {

/// A label on one line with its line breaks visible: each CR LF, and a CR or LF alone, is
/// shown as "⏎".
std::string VisibleLineBreaks(std::string_view label);

/// Text whose lines end in CR LF, with plain line feeds for a terminal.
std::string TerminalLines(std::string_view text);

/// The `--json` object: ok, message, labels, skippedLegendItems, and sampleLabel,
/// instructions, originalLabels and layers where the command has them.
std::string JsonOutcome(const Outcome& outcome);

/// Writes an outcome as the options ask: the JSON object on `out`, or the plain form (labels
/// one per line on `out`; a refusal's message on `err`).
void PrintOutcome(const CommandOptions& options, const Outcome& outcome, std::ostream& out,
                  std::ostream& err);

/// Reports input that cannot be used (exit status 2): one line on `err`, and with `--json`
/// also the object with ok false and that line as message on `out`.
void PrintBadInput(bool json, const std::string& line, std::ostream& out, std::ostream& err);

}  // namespace quillet::cli
