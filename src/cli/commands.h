#pragma once

#include <iosfwd>

#include "cli/command_options.h"
#include "cli/outcome.h"

namespace quillet::cli {

/// Runs one command on a map document:
/// - labels: `MakeLabels`, the labels;
/// - verify: `VerifyExpression`, with the sample label and the instructions on request;
/// - set: `MakeLabels`, `SetLabels`, then saves the document with the new labels (and, the
///   first time, the labels that stood before as "originalLabels");
/// - reset: `ResetLabels` from the stored "originalLabels", then saves;
/// - show: the layers, their renderers, legends, fields and types.
/// A false result of the component is an outcome with ok false and its `Message`. Input that
/// cannot be used (the document, a data source, a locale) throws a runtime error of one line;
/// the document is then left as it was.
Outcome RunCommand(const CommandOptions& options, std::ostream& err);

}  // namespace quillet::cli
