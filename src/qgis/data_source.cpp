#include "qgis/data_source.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "platform/sources/ogr_source.h"
#include "platform/store/pg_connection.h"
#include "quillet/error.h"

namespace quillet::qgis {
namespace {

constexpr const char* kSubset = "|subset=";

bool IsRelative(const std::string& path) {
  // Connection strings (PG:..., /vsicurl/...) and absolute paths are passed on as written.
  if (path.rfind("./", 0) == 0 || path.rfind("../", 0) == 0) return true;
  return path.find(':') == std::string::npos && !path.empty() && path[0] != '/';
}

std::string OgrLayerById(const std::string& location, const std::string& id) {
  size_t index = 0;
  try {
    index = std::stoul(id);
  } catch (const std::exception&) {
    throw runtime::Error::Platform("layerid=" + id + " is not a layer number");
  }
  if (index == 0) return "";
  const auto names = platform::OgrLayerNames(location);
  if (index >= names.size())
    throw runtime::Error::Platform("the data source " + location + " has no layer number " + id);
  return names[index];
}

DataSource ReadOgr(const std::string& written, const std::filesystem::path& folder) {
  DataSource data;
  std::string rest = written;
  if (const size_t subset = rest.find(kSubset); subset != std::string::npos) {
    data.subset = rest.substr(subset + std::string(kSubset).size());
    rest.erase(subset);
  }
  const size_t bar = rest.find('|');
  const std::string path = rest.substr(0, bar);
  data.source.written = written;
  data.source.location = IsRelative(path) ? map::ResolvePath(path, folder) : path;
  std::string layerId;
  for (size_t at = bar; at != std::string::npos;) {
    const size_t next = rest.find('|', at + 1);
    const std::string option =
        rest.substr(at + 1, next == std::string::npos ? next : next - at - 1);
    if (option.rfind("layername=", 0) == 0) data.source.layer = option.substr(10);
    if (option.rfind("layerid=", 0) == 0) layerId = option.substr(8);
    at = next;
  }
  if (data.source.layer.empty() && !layerId.empty())
    data.source.layer = OgrLayerById(data.source.location, layerId);
  if (data.subset && data.subset->empty()) data.subset.reset();
  return data;
}

// The key=value pairs of a QGIS data source URI, values 'quoted' (with \' and \\) or bare;
// `table` takes "schema"."name" and a geometry column in parentheses; `sql` the rest.
struct Uri {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string schema;
  std::string table;
  std::string sql;

  std::string Value(const std::string& key) const {
    for (const auto& [name, value] : keys)
      if (name == key) return value;
    return "";
  }
};

std::string QuotedName(const std::string& text, size_t& at) {
  std::string name;
  for (++at; at < text.size(); ++at) {
    if (text[at] == '"' && at + 1 < text.size() && text[at + 1] == '"') {
      name += '"';
      ++at;
    } else if (text[at] == '"') {
      ++at;
      return name;
    } else {
      name += text[at];
    }
  }
  throw runtime::Error::Platform("a quoted name is not closed: " + text);
}

Uri ReadUri(const std::string& text) {
  Uri uri;
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
      ++at;
    const size_t equals = text.find('=', at);
    if (at >= text.size() || equals == std::string::npos) break;
    const std::string key = text.substr(at, equals - at);
    at = equals + 1;
    if (key == "sql") {
      uri.sql = text.substr(at);
      break;
    }
    if (key == "table") {
      std::string first = text[at] == '"' ? QuotedName(text, at) : "";
      if (at < text.size() && text[at] == '.') {
        uri.schema = first;
        first = text[at + 1] == '"' ? QuotedName(text, ++at) : "";
      }
      uri.table = first;
      while (at < text.size() && text[at] == ' ')
        ++at;
      if (at < text.size() && text[at] == '(') at = text.find(')', at) + 1;
      if (at == 0) throw runtime::Error::Platform("a geometry column is not closed: " + text);
      continue;
    }
    std::string value;
    if (at < text.size() && text[at] == '\'') {
      for (++at; at < text.size() && text[at] != '\''; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        value += text[at];
      }
      ++at;
    } else {
      while (at < text.size() && !std::isspace(static_cast<unsigned char>(text[at])))
        value += text[at++];
    }
    uri.keys.emplace_back(key, value);
  }
  return uri;
}

std::string QuotedValue(const std::string& value) {
  std::string quoted = "'";
  for (const char c : value) {
    if (c == '\'' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

DataSource FromUri(const Uri& uri, const std::string& written) {
  DataSource data;
  data.source.written = platform::WithoutPassword(written);
  if (!uri.sql.empty()) data.subset = uri.sql;
  return data;
}

DataSource ReadSpatialite(const std::string& written, const std::filesystem::path& folder) {
  const Uri uri = ReadUri(written);
  DataSource data = FromUri(uri, written);
  const std::string path = uri.Value("dbname");
  data.source.location = IsRelative(path) ? map::ResolvePath(path, folder) : path;
  data.source.layer = uri.table;
  return data;
}

DataSource ReadPostgres(const std::string& written) {
  // libpq's own keys; QGIS adds others (key, srid, type, checkPrimaryKeyUnicity) for itself.
  static const char* const kConnectionKeys[] = {"dbname",  "host",    "hostaddr",
                                                "port",    "user",    "password",
                                                "service", "sslmode", "connect_timeout"};
  const Uri uri = ReadUri(written);
  DataSource data = FromUri(uri, written);
  std::string connection = "PG:";
  for (const char* key : kConnectionKeys) {
    const std::string value = uri.Value(key);
    if (!value.empty())
      connection += (connection.size() > 3 ? " " : "") + (key + ("=" + QuotedValue(value)));
  }
  data.source.location = connection;
  data.source.layer =
      uri.schema.empty() || uri.schema == "public" ? uri.table : uri.schema + "." + uri.table;
  return data;
}

}  // namespace

DataSource ReadDataSource(const std::string& provider, const std::string& written,
                          const std::filesystem::path& folder) {
  if (provider == "ogr") return ReadOgr(written, folder);
  if (provider == "spatialite") return ReadSpatialite(written, folder);
  if (provider == "postgres") return ReadPostgres(written);
  DataSource data;
  data.source.written = written;
  data.unusable = "the QGIS data provider \"" + provider +
                  "\" is not one quillet reads (it reads ogr, spatialite and postgres layers)";
  return data;
}

}  // namespace quillet::qgis
