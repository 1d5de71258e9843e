#include "cli/open_map.h"

#include <filesystem>
#include <fstream>

#include "document/map_document.h"
#include "qgis/qgis_map.h"
#include "quillet/error.h"
#include "runtime/case.h"

namespace quillet::cli {
namespace {

// A JSON map document starts with '{' (after blanks and a byte order mark). Anything else
// under another extension is most likely a data file given where the map goes; saying so
// helps more than a JSON syntax error at line 1. Only the first bytes are read.
bool LooksLikeAnotherKindOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;  // reading the map document says why
  std::string start(3, '\0');
  in.read(start.data(), 3);
  in.clear();
  in.seekg(start == "\xEF\xBB\xBF" ? 3 : 0);
  for (char c = 0; in.get(c);)
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return c != '{';
  return false;
}

}  // namespace

std::unique_ptr<map::Map> OpenMap(const CommandOptions& options) {
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
  if (style) {
    // The style's layer is named after its data, so a mistyped path would otherwise surface as
    // an unknown layer. Connection strings and GDAL's virtual paths are left to GDAL.
    const std::string path = options.source.substr(0, options.source.find('|'));
    if (path.find(':') == std::string::npos && path.rfind("/vsi", 0) != 0 &&
        !std::filesystem::exists(path))
      throw runtime::Error::Platform("--source " + options.source + ": no such file or folder");
    return std::make_unique<qgis::QgisMap>(qgis::QgisMap::ReadStyle(options.map, options.source));
  }
  if (runtime::EqualsIgnoreCase(extension, ".qgs") || runtime::EqualsIgnoreCase(extension, ".qgz"))
    return std::make_unique<qgis::QgisMap>(qgis::QgisMap::ReadProject(options.map));
  if (!runtime::EqualsIgnoreCase(extension, ".json") && LooksLikeAnotherKindOfFile(options.map))
    throw runtime::Error::Platform(
        options.map +
        ": not a map: quillet opens map documents (JSON), QGIS projects (.qgs, .qgz) and QGIS "
        "layer styles (.qml); data files are named by a map's source");
  return std::make_unique<document::MapDocument>(document::MapDocument::Read(options.map));
}

}  // namespace quillet::cli
