#pragma once

#include <string>

namespace quillet::cli {

/// What `--help` shows after the options of a command ("" for quillet itself): two or three
/// real examples on the bundled data, and for quillet itself and the commands that take an
/// expression, the expression language in brief.
std::string CommandHelp(const std::string& command);

}  // namespace quillet::cli
