// quillet: legend labels for the layers of a map document or QGIS project, from the shell.
//
//   quillet init   DATA --field F [--source-layer L] [--classify METHOD] [--classes N]
//                  [--name NAME] [--output MAP]
//   quillet labels MAP --layer NAME --expression EXPR [--format text|json|csv] [options]
//   quillet verify MAP --layer NAME --expression EXPR [--sample] [--instructions] [options]
//   quillet set    MAP --layer NAME --expression EXPR [--output FILE] [--from-current] [options]
//   quillet reset  MAP --layer NAME [--source DATA]
//   quillet show   MAP [--layer NAME] [--source DATA]
//
// MAP is a JSON map document, a QGIS project (.qgs, .qgz), or a QGIS layer style (.qml) with
// --source PATH naming its data.
// Exit status 0 on success, 1 when the component refuses (its message on standard error),
// 2 for bad usage or input that cannot be read. docs/command-line.md has the details.

#include <CLI/CLI.hpp>
#include <charconv>
#include <csignal>
#include <exception>
#include <iostream>
#include <limits>
#include <new>

#include "cli/commands.h"
#include "cli/help_texts.h"
#include "cli/output.h"
#include "map/atomic_file.h"
#include "quillet/error.h"

namespace {

using quillet::cli::CommandOptions;

struct Flags {
  CLI::Option* wrap = nullptr;
  int wrapLength = 0;
};

// --wrap takes a 16-bit whole number; anything else is named for what it is.
CLI::Validator WrapLength() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc::result_out_of_range ||
            (error == std::errc() && end == text.data() + text.size() &&
             (value < std::numeric_limits<int16_t>::min() ||
              value > std::numeric_limits<int16_t>::max())))
          return text + " is out of range (-32768 to 32767)";
        if (error != std::errc() || end != text.data() + text.size())
          return text + " is not a number (a whole number of characters, -32768 to 32767)";
        return "";
      },
      "N");
}

CLI::App* AddCommand(CLI::App& app, CommandOptions& options, const char* name,
                     const char* description, bool layerRequired) {
  CLI::App* command = app.add_subcommand(name, description);
  command
      ->add_option("MAP", options.map,
                   "the map: a map document (.json), a QGIS project (.qgs, .qgz) or a QGIS layer "
                   "style (.qml)")
      ->required();
  command->add_option("--source", options.source,
                      "the data a QGIS layer style (.qml) is applied to: a path GDAL opens, "
                      "optionally followed by |layername=NAME");
  CLI::Option* layer = command->add_option("--layer", options.layer, "the layer's name");
  if (layerRequired) layer->required();
  command->add_flag("--json", options.json, "print one JSON object instead of plain text");
  command->footer(quillet::cli::CommandHelp(name));
  return command;
}

void AddExpression(CLI::App* command, CommandOptions& options) {
  command
      ->add_option("--expression", options.expression,
                   "the label expression (quillet --help lists its vocabulary)")
      ->required();
}

void AddLabelling(CLI::App* command, CommandOptions& options, Flags& flags) {
  command->add_flag("--no-definition-query", options.noDefinitionQuery,
                    "label all features, not only those of the layer's definition expression");
  command->add_flag("--no-all-other-values", options.noAllOtherValues,
                    "set leaves the label of the \"all other values\" class alone");
  flags.wrap = command
                   ->add_option("--wrap", flags.wrapLength,
                                "wrap labels longer than N characters (0 or less: no wrapping)")
                   ->check(WrapLength());
  command->add_option("--locale", options.locale,
                      "format numbers and dates for this locale (de-DE, fr-FR...; default en-US)");
  command->add_flag("--messages", options.messages,
                    "show the component's message boxes on standard error");
}

void AddInit(CLI::App& app, CommandOptions& options) {
  CLI::App* init = app.add_subcommand(
      "init", "make a map document layer from a field of a data file, classified as QGIS does");
  init->add_option("DATA", options.init.data,
                   "the data: a file or folder GDAL opens (GeoPackage, Shapefile, GeoJSON, CSV...)")
      ->required();
  init->add_option("--source-layer", options.init.sourceLayer,
                   "the layer of the data (default: its first)");
  init->add_option("--field", options.init.field, "the field the legend is drawn by")->required();
  init->add_option("--classify", options.init.classify,
                   "unique (a class per value and one for all other values, the default), or "
                   "class breaks: quantile, equal, jenks, pretty, stddev")
      ->check(CLI::IsMember({"unique", "quantile", "equal", "jenks", "pretty", "stddev"}));
  init->add_option("--classes", options.init.classes,
                   "the number of classes of class breaks (default 5)")
      ->check(CLI::Range(1, 999));
  init->add_option("--name", options.init.name, "the layer's name (default: the data layer's)");
  init->add_option("--output", options.output,
                   "the map document to write: created, or the layer added to it when it exists "
                   "(default: print the document)");
  init->add_flag("--json", options.json, "print one JSON object instead of plain text");
  init->footer(quillet::cli::CommandHelp("init"));
}

// Interrupted while it saves, the command removes its temporary file beside the map, then ends
// as the signal would have ended it.
extern "C" void OnTerminatingSignal(int signal) {
  quillet::map::RemovePendingTemporaryFiles();
  std::raise(signal);  // the handler was reset, so this ends the process once it returns
}

void RemoveTemporaryFilesOnSignals() {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction previous {};
    sigaction(signal, nullptr, &previous);
    if (previous.sa_handler == SIG_IGN) continue;  // nohup and the like keep theirs
    struct sigaction action {};
    action.sa_handler = OnTerminatingSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

}  // namespace

int main(int argc, char** argv) {
  RemoveTemporaryFilesOnSignals();
  CLI::App app("Legend labels computed from the features each legend entry stands for.", "quillet");
  app.require_subcommand(1, 1);
  app.set_version_flag("--version", std::string("quillet ") + QUILLET_VERSION);
  app.footer(quillet::cli::CommandHelp(""));
  CommandOptions options;
  Flags labels, verify, set;

  AddInit(app, options);

  CLI::App* labelsCommand =
      AddCommand(app, options, "labels",
                 "compute one label per legend entry of the layer's renderer and print them", true);
  AddExpression(labelsCommand, options);
  AddLabelling(labelsCommand, options, labels);
  labelsCommand
      ->add_option("--format", options.format,
                   "text (one label a line, the default), json (as --json) or csv (value,label: "
                   "one row per legend entry)")
      ->check(CLI::IsMember({"text", "json", "csv"}));

  CLI::App* verifyCommand =
      AddCommand(app, options, "verify", "check that the expression can label the layer", true);
  AddExpression(verifyCommand, options);
  verifyCommand->add_flag("--sample", options.sample,
                          "also compute a sample label from every tenth feature");
  verifyCommand->add_flag("--instructions", options.instructions,
                          "also print how the label is put together (computes the sample too)");
  AddLabelling(verifyCommand, options, verify);

  CLI::App* setCommand = AddCommand(
      app, options, "set", "compute the labels and write them into the map's renderer", true);
  AddExpression(setCommand, options);
  AddLabelling(setCommand, options, set);
  setCommand->add_option("--output", options.output,
                         "write the labelled map to this file, the map itself untouched");
  setCommand->add_flag("--from-current", options.fromCurrent,
                       "compute from the labels the map shows now ($$LABEL included), not from "
                       "those before the first set");

  CLI::App* resetCommand = AddCommand(app, options, "reset",
                                      "put back the labels that stood before the first set", true);
  resetCommand->add_flag("--messages", options.messages,
                         "show the component's message boxes on standard error");

  AddCommand(app, options, "show",
             "list the layers: data source, renderer, legend entries and labels, fields and types",
             false);

  // A first word that is no command and no option would otherwise read "A subcommand is
  // required".
  if (argc > 1 && argv[1][0] != '-') {
    const std::string first = argv[1];
    try {
      app.get_subcommand(first);
    } catch (const CLI::OptionNotFound&) {
      std::cerr << "quillet: unknown command " << first
                << "; the commands are init, labels, verify, set, reset and show (quillet --help "
                   "shows the usage)\n";
      return quillet::cli::kExitBadInput;
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForAllHelp& help) {
    return app.exit(help);
  } catch (const CLI::CallForVersion& version) {
    return app.exit(version);
  } catch (const CLI::ParseError& error) {
    std::cerr << "quillet: " << error.what() << " (quillet --help shows the usage)\n";
    return quillet::cli::kExitBadInput;
  }
  options.command = app.get_subcommands().front()->get_name();
  for (const Flags* flags : {&labels, &verify, &set})
    if (flags->wrap != nullptr && flags->wrap->count() > 0)
      options.wrap = static_cast<int16_t>(flags->wrapLength);
  if (options.format == "json") options.json = true;
  // The instructions come in the box of the sample label, so asking for them asks for both.
  if (options.instructions) options.sample = true;

  try {
    const quillet::cli::Outcome outcome = quillet::cli::RunCommand(options, std::cerr);
    quillet::cli::PrintOutcome(options, outcome, std::cout, std::cerr);
    return outcome.ExitStatus();
  } catch (const quillet::runtime::Error& error) {
    quillet::cli::PrintBadInput(options.json, error.Description(), std::cout, std::cerr);
  } catch (const std::bad_alloc&) {
    quillet::cli::PrintBadInput(options.json,
                                options.map +
                                    ": out of memory: the map, its data or the labels need more "
                                    "memory than the process may have; the map is unchanged",
                                std::cout, std::cerr);
  } catch (const std::exception& error) {
    quillet::cli::PrintBadInput(options.json, error.what(), std::cout, std::cerr);
  }
  return quillet::cli::kExitBadInput;
}
