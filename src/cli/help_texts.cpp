#include "cli/help_texts.h"

namespace quillet::cli {
namespace {

constexpr const char* kVocabulary = R"(
Expressions: text with fields in brackets, each with a summary and formatting after it:
  [FIELD].Summary          First Last Count Sum Average Minimum Maximum StdDev Variance
  .Function(...)           Abs FormatCurrency FormatNumber(digits) Format(pattern) LCase UCase
                           TCase Left(n) Right(n) Mid(start,length) Replace(a,b) Round(digits)
                           Spaces(n) Trim LTrim RTrim
  $$VALUE  $$LABEL         the entry's value, and its label before the first set (the label
                           it shows now with set --from-current)
  $$NEWLINE                a line break
Quote expressions in single quotes in the shell, so that $$LABEL reaches quillet as it is.
docs/expression-language.md has the whole language.)";

constexpr const char* kInit = R"(
Examples:
  quillet init data/world.gpkg --field continent --output maps/world.json
  quillet init data/world.gpkg --field pop --classify jenks --classes 7 --name "Population" \
    --output maps/world.json          (adds the layer to the map made above)
  quillet init data/sids.shp --field BIR74 --classify quantile)";

constexpr const char* kLabels = R"(
Examples:
  quillet labels examples/world.json --layer "Countries by continent" \
    --expression '$$LABEL ([pop].Sum.FormatNumber(0) people)'
  quillet labels examples/world.qgs --layer Continents --expression '[pop].Count' --format csv
  quillet labels examples/world.json --layer Population --expression '[pop].Average' --locale de-DE)";

constexpr const char* kVerify = R"(
Examples:
  quillet verify examples/world.json --layer Countries --expression '[pop].Sum.FormatNumber(0)'
  quillet verify examples/world.json --layer Countries --expression 'Pop: [pop].Sum' --instructions)";

constexpr const char* kSet = R"(
Examples:
  quillet set examples/world.json --layer "Countries by continent" \
    --expression '$$LABEL ([pop].Sum.FormatNumber(0) people)'
  quillet set examples/world.qgs --layer Continents --expression '$$LABEL: [pop].Count' \
    --output examples/labelled.qgs
Running set again computes from the labels before the first set, so the same expression gives
the same file; --from-current builds on the labels the map shows now instead.)";

constexpr const char* kReset = R"(
Examples:
  quillet reset examples/world.json --layer "Countries by continent"
  quillet reset examples/continents.qml --source data/world.gpkg --layer world)";

constexpr const char* kShow = R"(
Examples:
  quillet show examples/world.json
  quillet show examples/world.qgs --layer Continents --json)";

constexpr const char* kQuillet = R"(
Examples:
  quillet init data/world.gpkg --field continent --output world.json
  quillet labels world.json --layer world --expression '$$LABEL ([pop].Sum.FormatNumber(0) people)'
  quillet set world.json --layer world --expression '$$LABEL ([pop].Count countries)'
quillet COMMAND --help shows each command's options and examples.)";

}  // namespace

std::string CommandHelp(const std::string& command) {
  if (command == "init") return kInit;
  if (command == "labels") return std::string(kLabels) + "\n" + kVocabulary;
  if (command == "verify") return std::string(kVerify) + "\n" + kVocabulary;
  if (command == "set") return std::string(kSet) + "\n" + kVocabulary;
  if (command == "reset") return kReset;
  if (command == "show") return kShow;
  return std::string(kQuillet) + "\n" + kVocabulary;
}

}  // namespace quillet::cli
