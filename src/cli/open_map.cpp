#include "cli/open_map.h"

#include <filesystem>

#include "document/map_document.h"
#include "qgis/qgis_map.h"
#include "runtime/case.h"
#include "runtime/error.h"

namespace quillet::cli {

std::unique_ptr<document::Map> OpenMap(const CommandOptions& options) {
  const std::string extension = std::filesystem::path(options.map).extension().string();
  const bool style = runtime::EqualsIgnoreCase(extension, ".qml");
  if (style && options.source.empty())
    throw runtime::Error::Platform(options.map +
                                   ": a QGIS layer style holds no data source; give its data "
                                   "with --source PATH");
  if (!style && !options.source.empty())
    throw runtime::Error::Platform("--source " + options.source +
                                   ": only a QGIS layer style (.qml) takes a data source; " +
                                   options.map + " names its own");
  if (style)
    return std::make_unique<qgis::QgisMap>(qgis::QgisMap::ReadStyle(options.map, options.source));
  if (runtime::EqualsIgnoreCase(extension, ".qgs") || runtime::EqualsIgnoreCase(extension, ".qgz"))
    return std::make_unique<qgis::QgisMap>(qgis::QgisMap::ReadProject(options.map));
  return std::make_unique<document::MapDocument>(document::MapDocument::Read(options.map));
}

}  // namespace quillet::cli
