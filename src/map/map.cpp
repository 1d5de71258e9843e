#include "map/map.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

#include "map/atomic_file.h"
#include "map/map_error.h"
#include "platform/layers/dataset_name.h"
#include "platform/sources/ogr_source.h"
#include "platform/sources/postgres_source.h"
#include "platform/sources/sqlite_source.h"
#include "platform/store/feature_store.h"
#include "platform/tables/sql_table.h"
#include "quillet/error.h"
#include "runtime/case.h"

namespace quillet::map {
namespace {

std::string LayerList(const std::vector<LayerEntry>& layers) {
  std::string names;
  for (const auto& layer : layers)
    names += (names.empty() ? "" : ", ") + ("\"" + layer.name + "\"");
  return names.empty() ? "none" : names;
}

void CheckJoinKey(const platform::FeatureTable& table, const std::string& key,
                  const std::string& file, const std::string& where) {
  if (table.FindField(key) >= 0) return;
  std::string fields;
  for (const auto& field : table.FieldList().Definitions())
    fields += (fields.empty() ? "" : ", ") + field.name;
  throw MapError(file, where,
                 "the join key " + key + " is not a field of " + table.Name() +
                     " (its fields: " + fields + ")");
}

// The words of a where clause that may name a field: runs of letters, digits and '_', and
// what stands between double quotes or brackets. More than its fields, never fewer.
std::vector<std::string> ClauseWords(const std::string& clause) {
  std::vector<std::string> words;
  std::string word;
  const auto isWordChar = [](unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; };
  for (size_t i = 0; i < clause.size(); ++i) {
    const char c = clause[i];
    if (c == '"' || c == '[') {
      const size_t end = clause.find(c == '"' ? '"' : ']', i + 1);
      if (end == std::string::npos) break;
      words.push_back(clause.substr(i + 1, end - i - 1));
      i = end;
    } else if (isWordChar(static_cast<unsigned char>(c))) {
      word += c;
      continue;
    }
    if (!word.empty()) words.push_back(std::move(word));
    word.clear();
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

void AddRendererFields(const gis::FeatureRenderer& renderer, std::vector<std::string>& names) {
  if (const auto* values = dynamic_cast<const gis::UniqueValueRenderer*>(&renderer))
    for (int32_t i = 0; i < values->FieldCount(); ++i)
      names.push_back(values->Field(i));
  if (const auto* breaks = dynamic_cast<const gis::ClassBreaksRenderer*>(&renderer))
    names.push_back(breaks->Field());
  if (const auto* bivariate = dynamic_cast<const gis::BivariateRenderer*>(&renderer)) {
    AddRendererFields(*bivariate->MainRenderer(), names);
    AddRendererFields(*bivariate->SecondRenderer(), names);
  }
}

// A field "table.name" is copied as either: the qualifier is the table's on a join.
void AddNames(const std::vector<std::string>& names, std::vector<std::string>& wanted) {
  for (const std::string& name : names) {
    wanted.push_back(name);
    if (const size_t dot = name.find('.'); dot != std::string::npos)
      wanted.push_back(name.substr(dot + 1));
  }
}

// What a file that is not a regular one is, for messages.
std::string FileKind(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "a special file";
}

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path, const std::string& what) {
  const auto fail = [&](const std::string& why) {
    return MapError(path.string(), "", "cannot read the " + what + ": " + why);
  };
  // Opened without waiting: a FIFO in the file's place would otherwise block here for good.
  const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (descriptor < 0) throw fail(std::strerror(errno));
  struct Closer {
    int descriptor;
    ~Closer() { close(descriptor); }
  } closer{descriptor};
  struct stat info {};
  if (fstat(descriptor, &info) != 0) throw fail(std::strerror(errno));
  if (S_ISDIR(info.st_mode)) throw fail("it is a folder");
  if (!S_ISREG(info.st_mode))
    throw fail("it is " + FileKind(info.st_mode) + ", not a regular file");
  std::string text;
  text.reserve(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(descriptor, buffer, sizeof buffer);
    if (got == 0) return text;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw fail(std::strerror(errno));
    }
    text.append(buffer, static_cast<size_t>(got));
  }
}

std::string ResolvePath(const std::string& written, const std::filesystem::path& folder) {
  const std::filesystem::path path(written);
  return path.is_absolute() ? written : (folder / path).lexically_normal().string();
}

platform::SourceTable OpenSource(platform::FeatureStore& store, const SourceEntry& source,
                                 const std::string& tableName,
                                 const platform::LoadProgress& progress,
                                 const platform::CopyChoice& copy,
                                 std::shared_ptr<platform::PgConnection>* server) {
  if (platform::IsSqliteDatabase(source.location)) {
    if (auto table = platform::OpenSqliteTable(store, source.location, source.layer, tableName))
      return std::move(*table);
  } else if (server != nullptr && platform::IsPostgresSource(source.location)) {
    if (!*server) *server = platform::ConnectPostgres(source.location);
    if (auto table = platform::OpenPostgresTable(*server, source.layer, tableName))
      return std::move(*table);
  }
  return platform::LoadOgrTable(store, source.location, source.layer, tableName, progress, copy);
}

size_t Map::FindLayer(std::string_view name) const {
  for (size_t i = 0; i < mLayers.size(); ++i)
    if (!mLayers[i].id.empty() && mLayers[i].id == name) return i;
  // By name, then by path; exactly, then without regard to letter case.
  for (const bool exact : {true, false}) {
    for (const bool byPath : {false, true}) {
      std::vector<size_t> found;
      for (size_t i = 0; i < mLayers.size(); ++i) {
        const std::string& text = byPath ? mLayers[i].path : mLayers[i].name;
        if (byPath && text.empty()) continue;
        if (exact ? text == name : runtime::EqualsIgnoreCase(text, name)) found.push_back(i);
      }
      if (found.size() == 1) return found.front();
      if (found.size() > 1) throw MapError(File(), "", Ambiguity(name, byPath, found));
    }
  }
  throw MapError(
      File(), "",
      "no layer named \"" + std::string(name) + "\" (its layers: " + LayerList(mLayers) + ")");
}

std::string Map::Ambiguity(std::string_view name, bool byPath, std::vector<size_t> layers) const {
  std::stable_sort(layers.begin(), layers.end(),
                   [&](size_t a, size_t b) { return mLayers[a].path < mLayers[b].path; });
  const std::string count = layers.size() == 2   ? "two"
                            : layers.size() == 3 ? "three"
                                                 : std::to_string(layers.size());
  std::string paths;
  std::string ids;
  std::set<std::string> distinct;
  for (const size_t i : layers) {
    paths += (paths.empty() ? "\"" : ", \"") + mLayers[i].path + "\"";
    ids += (ids.empty() ? "\"" : ", \"") + mLayers[i].id + "\"";
    if (!mLayers[i].path.empty()) distinct.insert(mLayers[i].path);
  }
  const std::string what = count + " layers " + (byPath ? "have the path" : "are named") + " \"" +
                           std::string(name) + "\"; ";
  if (mLayers[layers.front()].id.empty()) return what + "give one of them another name";
  if (distinct.size() < layers.size()) return what + "name one by its layer id (" + ids + ")";
  return what + "name one by its group path (" + paths + ") or its layer id (" + ids + ")";
}

std::string Map::Designation(size_t layer) const {
  const LayerEntry& entry = mLayers.at(layer);
  for (const std::string* text : {&entry.name, &entry.path}) {
    if (text->empty()) continue;
    try {
      if (FindLayer(*text) == layer) return *text;
    } catch (const runtime::Error&) {
      // named twice: try the next
    }
  }
  return entry.id.empty() ? entry.name : entry.id;
}

std::vector<size_t> Map::LegendOrder(size_t layer) const {
  std::vector<size_t> order(Legend(layer).size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  return order;
}

LoadedLayer Map::Load(size_t index, const platform::LoadProgress& progress,
                      const LoadChoice& choice) const {
  const LayerEntry& item = mLayers.at(index);
  if (!item.unusable.empty())
    throw MapError(File(), Where(index, LayerPart::kSource), item.unusable);

  // What a copy takes: the fields the run reads and those the renderer, the definition and the
  // join use. A renderer the file cannot give is reported once the data is open, as always.
  platform::CopyChoice copy;
  copy.rows = choice.rows;
  if (choice.fields) {
    std::vector<std::string> used = *choice.fields;
    try {
      AddRendererFields(*Renderer(index), used);
    } catch (const runtime::Error&) {
      // Reported below.
    }
    if (item.definitionExpression) {
      const std::vector<std::string> words = ClauseWords(*item.definitionExpression);
      used.insert(used.end(), words.begin(), words.end());
    }
    if (item.join) used.insert(used.end(), {item.join->field, item.join->joinField});
    copy.fields.emplace();
    AddNames(used, *copy.fields);
  }

  // Each layer has a store of its own, so two layers over one GDAL layer do not collide.
  platform::FeatureStore store;
  // A PostgreSQL layer is read on the server, and its join too when it is in the same
  // database; a join to other data is made in the store, so both are copied there.
  const bool copyFromServer = item.join && item.join->source.location != item.source.location;
  std::shared_ptr<platform::PgConnection> server;
  const auto open = [&](const SourceEntry& source, const std::string& tableName, LayerPart part) {
    try {
      return OpenSource(store, source, tableName, progress, copy,
                        copyFromServer ? nullptr : &server);
    } catch (const runtime::Error& error) {
      throw MapError(File(), Where(index, part), error.Description());
    }
  };
  const platform::SourceTable own = open(item.source, "", LayerPart::kSource);

  LoadedLayer loaded;
  loaded.tableName = own.layerName;
  loaded.category = own.category;
  loaded.featureCount = own.featureCount;
  loaded.layer = std::make_shared<platform::FeatureLayer>(
      item.name, own.table, std::make_shared<platform::DatasetName>(own.layerName, own.category),
      Renderer(index));
  if (item.definitionExpression) loaded.layer->SetDefinitionExpression(*item.definitionExpression);
  if (item.definitionSelection) loaded.layer->SetDefinitionSelection(item.definitionSelection);
  if (!item.join) {
    Finish(index, loaded);
    return loaded;
  }

  const JoinEntry& join = *item.join;
  if (runtime::EqualsIgnoreCase(join.name, own.layerName))
    throw MapError(
        File(), Where(index, LayerPart::kJoinName),
        "the join is named like the layer's own table " + own.layerName + "; give it another name");
  const platform::SourceTable joined = open(join.source, join.name, LayerPart::kJoinSource);
  CheckJoinKey(*own.table, join.field, File(), Where(index, LayerPart::kJoinField));
  CheckJoinKey(*joined.table, join.joinField, File(), Where(index, LayerPart::kJoinJoinField));
  try {
    loaded.layer->Join(joined.table, join.field, join.joinField, join.match);
  } catch (const runtime::Error& error) {
    throw MapError(File(), Where(index, LayerPart::kJoin), error.Description());
  }
  Finish(index, loaded);
  return loaded;
}

void Map::Finish(size_t index, const LoadedLayer& loaded) const {
  FinishLoading(index, loaded);
  const auto table = gis::Require<platform::SqlTable>(loaded.layer->DisplayedTable());
  try {
    table->CheckClause(loaded.layer->DefinitionExpression());
  } catch (const runtime::Error& error) {
    throw MapError(File(), Where(index, LayerPart::kDefinition),
                   table->Database()->Name() + " cannot run it: " + error.Description());
  }
}

void Map::Save() const {
  Write(mPath, Contents());
}

void Map::SaveAs(const std::filesystem::path& path) const {
  Write(path, ContentsAt(path));
}

void Map::Write(const std::filesystem::path& path, const std::string& contents) const {
  // What is about to replace the file must read back, or the user's map would be lost to every
  // reader until mended by hand.
  try {
    CheckContents(contents);
  } catch (const runtime::Error& error) {
    throw MapError("cannot save " + path.string(), "",
                   "what would be written does not read back (" + error.Description() +
                       "); the file is unchanged");
  }
  ReplaceFileAtomically(path, contents);
}

std::string Map::ContentsAt(const std::filesystem::path& path) const {
  const auto folder = [](const std::filesystem::path& file) {
    return std::filesystem::weakly_canonical(std::filesystem::absolute(file).parent_path());
  };
  if (folder(path) != folder(mPath))
    throw MapError(path.string(), "",
                   "cannot write " + File() +
                       " into another folder, since its data paths may be relative to its "
                       "own; write it beside it");
  return Contents();
}

}  // namespace quillet::map
