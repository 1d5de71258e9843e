#include "map/map.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

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

}  // namespace

std::string ReadWholeFile(const std::filesystem::path& path, const std::string& what) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw MapError(path.string(), "", "cannot read the " + what + ": it is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw MapError(path.string(), "",
                   "cannot read the " + what + ": " + std::string(std::strerror(errno)));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad())
    throw MapError(path.string(), "",
                   "cannot read the " + what + ": " + std::string(std::strerror(errno)));
  return text.str();
}

std::string ResolvePath(const std::string& written, const std::filesystem::path& folder) {
  const std::filesystem::path path(written);
  return path.is_absolute() ? written : (folder / path).lexically_normal().string();
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
    loaded.layer->Join(joined.table, join.field, join.joinField, join.match);
  } catch (const runtime::Error& error) {
    throw MapError(File(), Where(index, LayerPart::kJoin), error.Description());
  }
  FinishLoading(index, loaded);
  return loaded;
}

void Map::Save() const {
  ReplaceFileAtomically(mPath, Contents());
}

}  // namespace quillet::map
