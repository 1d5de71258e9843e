#include "quillet/map_file.h"

#include <mutex>
#include <optional>
#include <utility>

#include "host/open_map.h"
#include "map/atomic_file.h"
#include "map/legend_entry.h"
#include "map/write_lock.h"
#include "platform/layers/object_factory.h"
#include "platform/store/sqlite_connection.h"
#include "quillet/com_bool.h"
#include "quillet/error.h"
#include "quillet/quillet.h"

namespace quillet {
namespace {

// What stands between "[" and the next "]": every field an expression names, and perhaps a
// few more texts that are none (inside a statement's arguments), which cost only their copy.
std::vector<std::string> FieldsNamedIn(const std::string& expression) {
  std::vector<std::string> fields;
  for (size_t open = expression.find('['); open != std::string::npos;
       open = expression.find('[', open + 1)) {
    const size_t close = expression.find(']', open + 1);
    if (close == std::string::npos) break;
    fields.push_back(expression.substr(open + 1, close - open - 1));
  }
  return fields;
}

}  // namespace

struct MapFile::Impl {
  // Declared first, so that it is released last.
  std::optional<map::WriteLock> lock;
  std::unique_ptr<map::Map> map;
  std::shared_ptr<platform::ObjectFactory> platform = std::make_shared<platform::ObjectFactory>();
  // What Interrupt reaches from another thread; the connections are not kept alive by it.
  std::mutex interruptMutex;
  bool interrupted = false;
  std::vector<std::weak_ptr<platform::Engine>> connections;

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
  return mImpl->map->Designation(mImpl->Index(name));
}

std::vector<MapFile::LegendEntry> MapFile::Legend(std::string_view name) const {
  const size_t index = mImpl->Index(name);
  const auto entries = mImpl->map->Legend(index);
  std::vector<LegendEntry> shown;
  for (const size_t at : mImpl->map->LegendOrder(index)) {
    const map::LegendEntry& entry = entries.at(at);
    shown.push_back(
        {entry.stands, entry.value, entry.allOtherValues, entry.range, entry.label, at});
  }
  return shown;
}

std::shared_ptr<gis::ObjectFactory> MapFile::Platform() const {
  return mImpl->platform;
}

std::shared_ptr<gis::Layer> MapFile::OpenLayer(std::string_view name, const LoadProgress& progress,
                                               const std::string& expression) {
  const auto stopWhenInterrupted = [this] {
    const std::lock_guard lock(mImpl->interruptMutex);
    if (mImpl->interrupted) throw runtime::Error::Platform("interrupted");
  };
  stopWhenInterrupted();
  map::LoadChoice choice;
  if (!expression.empty()) choice.fields = FieldsNamedIn(expression);
  map::LoadedLayer loaded = mImpl->map->Load(
      mImpl->Index(name),
      [&](int64_t done, int64_t total) {
        stopWhenInterrupted();
        if (progress) progress(done, total);
      },
      choice);
  const auto& connection = loaded.layer->Table()->Database();
  const std::lock_guard lock(mImpl->interruptMutex);
  mImpl->connections.push_back(connection);
  if (mImpl->interrupted) connection->Interrupt();
  return loaded.layer;
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
  mImpl->map->CheckOriginalLabels(index);
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

bool MapFile::UseOriginalLabels(std::string_view name,
                                const std::shared_ptr<gis::Layer>& layer) const {
  const size_t index = mImpl->Index(name);
  const auto originals = mImpl->map->OriginalLabels(index);
  if (!originals) return false;
  gis::Require<gis::GeoFeatureLayer>(layer)->SetRenderer(mImpl->map->Renderer(index, &*originals));
  return true;
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

void MapFile::SaveAs(const std::filesystem::path& path) const {
  host::CheckSameKind(mImpl->map->Path(), path);
  mImpl->map->SaveAs(path);
}

void MapFile::Interrupt() {
  const std::lock_guard lock(mImpl->interruptMutex);
  mImpl->interrupted = true;
  for (const auto& weak : mImpl->connections)
    if (const auto connection = weak.lock()) connection->Interrupt();
}

}  // namespace quillet
