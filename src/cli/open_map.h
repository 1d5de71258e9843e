#pragma once

#include <memory>

#include "cli/command_options.h"
#include "map/map.h"

namespace quillet::cli {

/// Reads the map the options name, by its extension: a QGIS project (.qgs, .qgz), a QGIS layer
/// style (.qml, whose data is `--source`), or else a JSON map document. `--source` with any
/// other kind of map is refused, as is a style without it, and so is a file under another
/// extension that does not start as JSON does (a data file given in the map's place).
std::unique_ptr<map::Map> OpenMap(const CommandOptions& options);

}  // namespace quillet::cli
