#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/command_options.h"
#include "cli/outcome.h"

namespace quillet::cli {

/// A label on one line with its line breaks visible: each CR LF, and a CR or LF alone, is
/// shown as "⏎".
std::string VisibleLineBreaks(std::string_view label);

/// Text whose lines end in CR LF, with plain line feeds for a terminal.
std::string TerminalLines(std::string_view text);

/// A CSV field (RFC 4180): as it is, or in double quotes (doubled inside) when it holds a
/// comma, a quote or a line break.
std::string CsvField(const std::string& text);

/// `labels --format csv`: one row per legend entry in the order the map shows them, the value
/// it stands for (a QGIS category's value, "" for a catch-all; else what `show` says it stands
/// for) and its label.
std::vector<std::pair<std::string, std::string>> CsvRows(const Outcome& outcome);

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
