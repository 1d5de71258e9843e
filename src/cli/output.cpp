#include "cli/output.h"

#include <ostream>

namespace quillet::cli {

std::string VisibleLineBreaks(std::string_view label) {
  std::string shown;
  for (size_t i = 0; i < label.size(); ++i) {
    if (label[i] == '\r' || label[i] == '\n') {
      shown += "\u23CE";
      if (label[i] == '\r' && i + 1 < label.size() && label[i + 1] == '\n') ++i;
    } else {
      shown += label[i];
    }
  }
  return shown;
}

std::string TerminalLines(std::string_view text) {
  std::string lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text)
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::vector<std::pair<std::string, std::string>> CsvRows(const Outcome& outcome) {
  std::vector<std::pair<std::string, std::string>> rows;
  if (!outcome.entries) {
    for (const auto& label : outcome.labels)
      rows.emplace_back("", label);
    return rows;
  }
  for (const auto& entry : *outcome.entries) {
    // A category's own value where the map says it; else what the entry stands for.
    const auto value = entry.find("value");
    std::string text = entry.at("stands").get<std::string>();
    if (value != entry.end()) text = value->is_null() ? "" : value->get<std::string>();
    rows.emplace_back(text, entry.at("label").get<std::string>());
  }
  return rows;
}

std::string JsonOutcome(const Outcome& outcome) {
  nlohmann::ordered_json json;
  json["ok"] = outcome.ok;
  json["message"] = outcome.message;
  if (outcome.cause) json["cause"] = *outcome.cause;
  json["labels"] = outcome.labels;
  json["skippedLegendItems"] = outcome.skippedLegendItems;
  if (outcome.entries) json["entries"] = *outcome.entries;
  if (outcome.sampleLabel) json["sampleLabel"] = *outcome.sampleLabel;
  if (outcome.instructions) json["instructions"] = *outcome.instructions;
  if (outcome.originalLabels) json["originalLabels"] = *outcome.originalLabels;
  if (outcome.layers) json["layers"] = *outcome.layers;
  if (outcome.document) json["document"] = *outcome.document;
  return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

void PrintOutcome(const CommandOptions& options, const Outcome& outcome, std::ostream& out,
                  std::ostream& err) {
  if (!outcome.ok) err << TerminalLines(outcome.message) << '\n';
  if (!outcome.ok && outcome.cause) err << "quillet: " << *outcome.cause << '\n';
  if (outcome.labelsMadeValid > 0)
    err << "quillet: " << outcome.labelsMadeValid
        << (outcome.labelsMadeValid == 1 ? " label holds" : " labels hold")
        << " bytes that are not UTF-8 (is the layer's data in another encoding?); they are "
           "shown, and set writes them, with U+FFFD in their place\n";
  if (options.json) {
    out << JsonOutcome(outcome) << '\n';
    return;
  }
  if (!outcome.ok) return;
  if (options.command == "show") {
    for (const auto& line : outcome.report)
      out << line << '\n';
    return;
  }
  if (options.command == "init") {
    out << (outcome.document ? *outcome.document : outcome.message + "\n");
    return;
  }
  if (options.command == "verify") {
    if (outcome.instructions) {
      out << TerminalLines(*outcome.instructions);
    } else if (outcome.sampleLabel) {
      out << "SAMPLE LABEL: " << VisibleLineBreaks(*outcome.sampleLabel) << '\n';
    } else {
      out << outcome.message << '\n';
    }
    return;
  }
  // In the order the file shows the legend where it says, else the component's.
  if (options.format == "csv") {
    out << "value,label\r\n";
    for (const auto& row : CsvRows(outcome))
      out << CsvField(row.first) << ',' << CsvField(row.second) << "\r\n";
  } else if (outcome.entries) {
    for (const auto& entry : *outcome.entries)
      out << VisibleLineBreaks(entry.at("label").get<std::string>()) << '\n';
  } else {
    for (const auto& label : outcome.labels)
      out << VisibleLineBreaks(label) << '\n';
  }
  if (outcome.unchanged) err << "quillet: " << outcome.message << '\n';
  if (outcome.skippedLegendItems)
    err << "quillet: legend entries that select no features read $$SKIPPED; set leaves their "
           "labels alone\n";
}

void PrintBadInput(bool json, const std::string& line, std::ostream& out, std::ostream& err) {
  err << "quillet: " << line << '\n';
  if (!json) return;
  Outcome outcome;
  outcome.message = line;
  out << JsonOutcome(outcome) << '\n';
}

}  // namespace quillet::cli
