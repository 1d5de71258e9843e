#include "host/open_map.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "document/map_document.h"
#include "qgis/qgis_map.h"
#include "quillet/error.h"
#include "runtime/case.h"

namespace quillet::host {
namespace {

// A JSON map document starts with '{' (after blanks and a byte order mark). Anything else
// under another extension is most likely a data file given where the map goes; saying so
// helps more than a JSON syntax error at line 1. Only the first bytes of a regular file are
// read: anything else is left to the reader, which refuses it without waiting on it.
bool LooksLikeAnotherKindOfFile(const std::string& path) {
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (descriptor < 0) return false;  // reading the map document says why
  struct stat info {};
  const bool regular = fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode);
  std::string start(regular ? 4096 : 0, '\0');
  const ssize_t got = regular ? read(descriptor, start.data(), start.size()) : 0;
  close(descriptor);
  start.resize(got > 0 ? static_cast<size_t>(got) : 0);
  const size_t from = start.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
  const size_t first = start.find_first_not_of(" \t\n\r", from);
  return first != std::string::npos && start[first] != '{';
}

// The kind of map a path names by its extension: ".qgs", ".qgz", ".qml" or "" (a document).
std::string KindOf(const std::filesystem::path& path) {
  const std::string extension = runtime::LCase(path.extension().string());
  return extension == ".qgs" || extension == ".qgz" || extension == ".qml" ? extension : "";
}

std::string KindName(const std::string& kind) {
  if (kind.empty()) return "a map document";
  return kind == ".qml" ? "a QGIS layer style (.qml)" : "a QGIS project (" + kind + ")";
}

}  // namespace

void CheckSameKind(const std::filesystem::path& map, const std::filesystem::path& other) {
  const std::string kind = KindOf(map);
  if (KindOf(other) != kind)
    throw runtime::Error::Platform(other.string() + ": " + map.string() + " is " + KindName(kind) +
                                   ", which is written to a file of its kind, not to " +
                                   KindName(KindOf(other)));
}

std::unique_ptr<map::Map> OpenMap(const std::string& path, const std::string& source) {
  const std::string extension = std::filesystem::path(path).extension().string();
  const bool style = runtime::EqualsIgnoreCase(extension, ".qml");
  if (style && source.empty())
    throw runtime::Error::Platform(path +
                                   ": a QGIS layer style holds no data source; give its data "
                                   "with --source PATH");
  if (!style && !source.empty())
    throw runtime::Error::Platform("--source " + source +
                                   ": only a QGIS layer style (.qml) takes a data source; " + path +
                                   " names its own");
  if (style) {
    // The style's layer is named after its data, so a mistyped path would otherwise surface as
    // an unknown layer. Connection strings and GDAL's virtual paths are left to GDAL.
    const std::string data = source.substr(0, source.find('|'));
    if (data.find(':') == std::string::npos && data.rfind("/vsi", 0) != 0 &&
        !std::filesystem::exists(data))
      throw runtime::Error::Platform("--source " + source + ": no such file or folder");
    return std::make_unique<qgis::QgisMap>(qgis::QgisMap::ReadStyle(path, source));
  }
  if (runtime::EqualsIgnoreCase(extension, ".qgs") || runtime::EqualsIgnoreCase(extension, ".qgz"))
    return std::make_unique<qgis::QgisMap>(qgis::QgisMap::ReadProject(path));
  if (!runtime::EqualsIgnoreCase(extension, ".json") && LooksLikeAnotherKindOfFile(path))
    throw runtime::Error::Platform(
        path +
        ": not a map: quillet opens map documents (JSON), QGIS projects (.qgs, .qgz) and QGIS "
        "layer styles (.qml); data files are named by a map's source");
  return std::make_unique<document::MapDocument>(document::MapDocument::Read(path));
}

}  // namespace quillet::host
