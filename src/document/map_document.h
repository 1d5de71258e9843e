#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/json_reader.h"
#include "document/renderer_document.h"
#include "gis/renderer.h"
#include "platform/feature_layer.h"
#include "platform/ogr_source.h"

namespace quillet::document {

/// Where a layer's rows come from.
struct SourceEntry {
  /// The "path" or "connection" as the document writes it.
  std::string written;
  /// What GDAL opens: a path resolved against the document's folder, or the connection.
  std::string location;
  /// The GDAL layer; "" takes the first.
  std::string layer;
};

/// A left join of a second table to a layer's own.
struct JoinEntry {
  SourceEntry source;
  /// The joined table's name, which qualifies its fields ("stats" gives "stats.gdp").
  std::string name;
  /// The key in the layer's own table, and the key in the joined one.
  std::string field;
  std::string joinField;
};

/// One layer of a map document, as read and checked.
struct LayerEntry {
  std::string name;
  SourceEntry source;
  std::optional<std::string> definitionExpression;
  std::optional<std::vector<int64_t>> definitionSelection;
  std::optional<JoinEntry> join;
};

/// A layer with its rows loaded, ready for the component.
struct LoadedLayer {
  std::shared_ptr<platform::FeatureLayer> layer;
  /// The GDAL layer name, which names the layer's own table and qualifies its fields on a join.
  std::string tableName;
  /// The GDAL driver's long name ("GeoPackage", "ESRI Shapefile").
  std::string category;
};

/// A map document: a JSON file that lists layers with their data sources, definitions, joins
/// and renderers (docs/map-documents.md has every key). Reading checks every key of every
/// layer but opens no data; `Load` opens one layer's data. Labels are written back into the
/// JSON in place, every other key and the order of keys kept, and `Save` replaces the file
/// atomically.
///
/// Every failure is a runtime error of one line naming the file, the key (a JSON pointer) and
/// what is wrong.
class MapDocument {
 public:
  /// Reads and checks the document at `path`. Relative source paths are taken from the
  /// document's folder.
  static MapDocument Read(const std::filesystem::path& path);
  /// Checks a document's text as if it were read from `path` (which is not opened).
  static MapDocument Parse(const std::string& text, const std::filesystem::path& path);

  const std::filesystem::path& Path() const { return mPath; }
  const std::vector<LayerEntry>& Layers() const { return mLayers; }
  /// The index of the layer of that name (compared exactly, else without regard to letter
  /// case); fails listing the layers there are.
  size_t FindLayer(std::string_view name) const;

  /// The layer's renderer object, its "kind" and its legend entries.
  const Json& RendererJson(size_t layer) const;
  std::string RendererKind(size_t layer) const;
  std::vector<LegendEntry> Legend(size_t layer) const;
  /// The labels stored by the first `StoreOriginalLabels` ("originalLabels" of the renderer).
  std::optional<std::vector<std::string>> OriginalLabels(size_t layer) const;

  /// A new platform renderer as the document describes it; with `labels`, those labels stand
  /// in its legend instead of the document's.
  std::shared_ptr<gis::FeatureRenderer> Renderer(
      size_t layer, const std::vector<std::string>* labels = nullptr) const;
  /// Opens the layer's data source (and its join's) with GDAL and makes the platform layer:
  /// named as in the document, its own table named by the GDAL layer, category the driver's
  /// long name, with definition, join and a new renderer.
  LoadedLayer Load(size_t layer, const platform::LoadProgress& progress = {}) const;

  /// Writes the labels that `renderer` shows into the layer's renderer object.
  void StoreLabels(size_t layer, const gis::FeatureRenderer& renderer);
  /// Stores `labels` as the renderer's "originalLabels", unless it has them already.
  void StoreOriginalLabels(size_t layer, const std::vector<std::string>& labels);

  /// The document as it would be saved: two-space indentation, a final line break.
  std::string Text() const;
  /// Replaces the file atomically with `Text()`.
  void Save() const;

 private:
  MapDocument(std::filesystem::path path, Json json);
  void ReadLayers();
  std::string File() const { return mPath.string(); }
  std::string RendererPointer(size_t layer) const;

  std::filesystem::path mPath;
  Json mJson;
  std::vector<LayerEntry> mLayers;
};

}  // namespace quillet::document
