#include "quillet/map_file.h"

#include <optional>
#include <utility>

#include "host/open_map.h"
#include "map/legend_entry.h"
#include "map/write_lock.h"
#include "platform/layers/object_factory.h"
#include "quillet/com_bool.h"
#include "quillet/quillet.h"

namespace quillet {

struct MapFile::Impl {
  // Declared first, so that it is released last.
  std::optional<map::WriteLock> lock;
  std::unique_ptr<map::Map> map;
  std::shared_ptr<platform::ObjectFactory> platform = std::make_shared<platform::ObjectFactory>();

  size_t Index(std::string_view name) const { return map->FindLayer(name); }
};

MapFile::MapFile(std::unique_ptr<Impl> impl) : mImpl(std::move(impl)) {}
MapFile::~MapFile() = default;

std::unique_ptr<MapFile> MapFile::Open(const std::filesystem::path& path, const std::string& source,
                                       Access access) {
  auto impl = std::make_unique<Impl>();
  if (access == Access::kWrite) impl->lock.emplace(path);
  impl->map = host::OpenMap(path.string(), source);
  return std::unique_ptr<MapFile>(new MapFile(std::move(impl)));
}

const std::filesystem::path& MapFile::Path() const {
  return mImpl->map->Path();
}

std::vector<std::string> MapFile::LayerNames() const {
  std::vector<std::string> names;
  for (const map::LayerEntry& layer : mImpl->map->Layers())
    names.push_back(layer.name);
  return names;
}

std::string MapFile::FindLayer(std::string_view name) const {
  return mImpl->map->Layers()[mImpl->Index(name)].name;
}

std::shared_ptr<gis::ObjectFactory> MapFile::Platform() const {
  return mImpl->platform;
}

std::shared_ptr<gis::Layer> MapFile::OpenLayer(std::string_view name,
                                               const LoadProgress& progress) {
  return mImpl->map->Load(mImpl->Index(name), progress).layer;
}

bool MapFile::KeepsLabels(std::string_view name) const {
  return mImpl->map->KeepsLabels(mImpl->Index(name));
}

std::optional<std::vector<std::string>> MapFile::OriginalLabels(std::string_view name) const {
  return mImpl->map->OriginalLabels(mImpl->Index(name));
}

bool MapFile::RecallOriginalLabels(std::string_view name, const std::shared_ptr<gis::Layer>& layer,
                                   Quillet& labeler) const {
  const size_t index = mImpl->Index(name);
  const auto originals = mImpl->map->OriginalLabels(index);
  if (!originals) return true;
  // The object records originals at its first SetLabels, from the renderer as it stands: here
  // a copy of the layer's renderer wearing the stored labels, labelled with themselves. The
  // definition query does not matter for recording.
  const auto geoLayer = gis::Require<gis::GeoFeatureLayer>(layer);
  const runtime::ComBool applyDefinition = labeler.ApplyDefinitionQuery();
  geoLayer->SetRenderer(mImpl->map->Renderer(index, &*originals));
  labeler.ApplyDefinitionQuery(runtime::kComFalse);
  std::string unchanged = "$$LABEL";
  const bool recorded = labeler.MakeLabels(layer, unchanged) != 0 && labeler.SetLabels(layer) != 0;
  labeler.ApplyDefinitionQuery(applyDefinition);
  geoLayer->SetRenderer(mImpl->map->Renderer(index));
  return recorded;
}

void MapFile::StoreLabels(std::string_view name, const gis::Layer& layer,
                          const LabelCollection& originals) {
  const size_t index = mImpl->Index(name);
  mImpl->map->StoreOriginalLabels(index, {originals.begin(), originals.end()});
  const auto& geoLayer = dynamic_cast<const gis::GeoFeatureLayer&>(layer);
  mImpl->map->StoreLabels(index, *geoLayer.Renderer());
}

std::string MapFile::Contents() const {
  return mImpl->map->Contents();
}

void MapFile::Save() const {
  mImpl->map->Save();
}

}  // namespace quillet
