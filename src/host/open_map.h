#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "map/map.h"

namespace quillet::host {

/// Reads the map at `path` by its extension: a QGIS project (.qgs, .qgz), a QGIS layer style
/// (.qml, whose data is `source`), or else a JSON map document. A source with any other kind
/// of map is refused, as is a style without one, and so is a file under another extension
/// that does not start as JSON does (a data file given in the map's place).
std::unique_ptr<map::Map> OpenMap(const std::string& path, const std::string& source);

/// Fails unless `other` is a name for the same kind of map as `map` by its extension (a map
/// document, a .qgs or a .qgz project, a .qml style), which `OpenMap` would read as such.
void CheckSameKind(const std::filesystem::path& map, const std::filesystem::path& other);

}  // namespace quillet::host
