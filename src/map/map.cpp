#include "map/map.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "map/atomic_file.h"
#include "map/map_error.h"
#include "platform/layers/dataset_name.h"
#include "platform/store/feature_store.h"
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

size_t Map::FindLayer(std::string_view name) const {
  for (const bool exact : {true, false}) {
    std::optional<size_t> found;
    for (size_t i = 0; i < mLayers.size(); ++i) {
      const bool same =
          exact ? mLayers[i].name == name : runtime::EqualsIgnoreCase(mLayers[i].name, name);
      if (!same) continue;
      if (found)
        throw MapError(
            File(), "",
            "two layers are named \"" + std::string(name) + "\"; give one of them another name");
      found = i;
    }
    if (found) return *found;
  }
  throw MapError(
      File(), "",
      "no layer named \"" + std::string(name) + "\" (its layers: " + LayerList(mLayers) + ")");
}

LoadedLayer Map::Load(size_t index, const platform::LoadProgress& progress) const {
  const LayerEntry& item = mLayers.at(index);
  if (!item.unusable.empty())
    throw MapError(File(), Where(index, LayerPart::kSource), item.unusable);
  // Each layer has a store of its own, so two layers over one GDAL layer do not collide.
  platform::FeatureStore store;
  platform::OgrTable own;
  try {
    own = platform::LoadOgrTable(store, item.source.location, item.source.layer, "", progress);
  } catch (const runtime::Error& error) {
    throw MapError(File(), Where(index, LayerPart::kSource), error.Description());
  }

  LoadedLayer loaded;
  loaded.tableName = own.layerName;
  loaded.category = own.category;
  loaded.layer = std::make_shared<platform::FeatureLayer>(
      item.name, own.table, std::make_shared<platform::DatasetName>(own.layerName, own.category),
      Renderer(index));
  if (item.definitionExpression) loaded.layer->SetDefinitionExpression(*item.definitionExpression);
  if (item.definitionSelection) loaded.layer->SetDefinitionSelection(item.definitionSelection);
  if (!item.join) {
    FinishLoading(index, loaded);
    return loaded;
  }

  const JoinEntry& join = *item.join;
  if (runtime::EqualsIgnoreCase(join.name, own.layerName))
    throw MapError(
        File(), Where(index, LayerPart::kJoinName),
        "the join is named like the layer's own table " + own.layerName + "; give it another name");
  platform::OgrTable joined;
  try {
    joined =
        platform::LoadOgrTable(store, join.source.location, join.source.layer, join.name, progress);
  } catch (const runtime::Error& error) {
    throw MapError(File(), Where(index, LayerPart::kJoinSource), error.Description());
  }
  CheckJoinKey(*own.table, join.field, File(), Where(index, LayerPart::kJoinField));
  CheckJoinKey(*joined.table, join.joinField, File(), Where(index, LayerPart::kJoinJoinField));
  try {
    loaded.layer->Join(joined.table, join.field, join.joinField);
  } catch (const runtime::Error& error) {
    throw MapError(File(), Where(index, LayerPart::kJoin), error.Description());
  }
  FinishLoading(index, loaded);
  return loaded;
}

void Map::Save() const {
  const std::string contents = Contents();
  // What is about to replace the file must read back, or the user's map would be lost to every
  // reader until mended by hand.
  try {
    CheckContents(contents);
  } catch (const runtime::Error& error) {
    throw MapError("cannot save " + File(), "",
                   "what would be written does not read back (" + error.Description() +
                       "); the file is unchanged");
  }
  ReplaceFileAtomically(mPath, contents);
}

}  // namespace quillet::map
