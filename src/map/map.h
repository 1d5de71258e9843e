#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map/legend_entry.h"
#include "platform/layers/feature_layer.h"
#include "platform/sources/ogr_source.h"
#include "platform/store/pg_connection.h"
#include "quillet/gis/renderer.h"

namespace quillet::map {

/// Where a layer's rows come from.
struct SourceEntry {
  /// The source as the file writes it.
  std::string written;
  /// What GDAL opens: a path resolved against the file's folder, or a connection.
  std::string location;
  /// The GDAL layer; "" takes the first.
  std::string layer;
};

/// A left join of a second table to a layer's own, one to one.
struct JoinEntry {
  SourceEntry source;
  /// The joined table's name, which qualifies its fields ("stats" gives "stats.gdp").
  std::string name;
  /// The key in the layer's own table, and the key in the joined one.
  std::string field;
  std::string joinField;
  /// Which joined row a feature takes when its key matches several: the first by default.
  platform::JoinMatch match = platform::JoinMatch::kFirst;
};

/// One layer of a map, as read and checked.
struct LayerEntry {
  std::string name;
  /// Where a QGIS project also names the layer: its layer id, and its path in the layer tree,
  /// the groups and then the name ("Boston/Graduated/Tracts"); "" when the file has none.
  std::string id;
  std::string path;
  SourceEntry source;
  std::optional<std::string> definitionExpression;
  std::optional<std::vector<int64_t>> definitionSelection;
  std::optional<JoinEntry> join;
  /// Why the layer's data cannot be opened (a data provider GDAL cannot reach); "" when it can.
  std::string unusable;
};

/// A layer with its data opened, ready for the component.
struct LoadedLayer {
  std::shared_ptr<platform::FeatureLayer> layer;
  /// The GDAL layer name, which names the layer's own table and qualifies its fields on a join.
  std::string tableName;
  /// The GDAL driver's long name ("GeoPackage", "ESRI Shapefile").
  std::string category;
  /// The number of features of its own table, when its rows were not copied to count them.
  std::optional<int64_t> featureCount;
};

/// What `Map::Load` reads of a layer's data.
struct LoadChoice {
  /// Whether rows are read; without them only the fields and the count of features are.
  bool rows = true;
  /// The fields a label run will read, as an expression names them ("pop", "world.pop");
  /// all when absent. What the renderer, the definition and the join use is read in any case.
  std::optional<std::vector<std::string>> fields;
};

/// Places in a layer's description that errors of `Load` point at.
enum class LayerPart {
  kSource,
  kJoin,
  kJoinSource,
  kJoinName,
  kJoinField,
  kJoinJoinField,
  kDefinition
};

/// A file of map layers that quillet labels: a JSON map document, a QGIS project or a QGIS
/// layer style. Reading checks what every layer says but opens no data; `Load` opens one
/// layer's. Labels are written back into the file's own text, everything else kept, and
/// `Save` replaces the file atomically.
///
/// Every failure is a runtime error of one line naming the file, the place in it and what is
/// wrong.
class Map {
 public:
  virtual ~Map() = default;

  const std::filesystem::path& Path() const { return mPath; }
  const std::vector<LayerEntry>& Layers() const { return mLayers; }
  /// The index of the layer that `name` names: its layer id, else its name, else its path in
  /// the layer tree (compared exactly, then without regard to letter case). Fails listing the
  /// layers there are, or when two layers have that name, listing the paths and ids that tell
  /// them apart.
  size_t FindLayer(std::string_view name) const;
  /// What names the layer alone for `FindLayer`: its name, else its path, else its id.
  std::string Designation(size_t layer) const;

  /// The layer's renderer kind as the file names it.
  virtual std::string RendererKind(size_t layer) const = 0;
  /// The layer's legend entries as the file describes them, in the component's legend order.
  virtual std::vector<LegendEntry> Legend(size_t layer) const = 0;
  /// The order in which the file shows the legend: the k-th entry shown is
  /// `Legend()[LegendOrder()[k]]` (a QGIS legend shows its catch-all category where it stands
  /// and its ranges as listed). By default, `Legend`'s order.
  virtual std::vector<size_t> LegendOrder(size_t layer) const;
  /// The labels stored by the first `StoreOriginalLabels`, one per legend entry in `Legend`'s
  /// order where the file tells which entry each belongs to.
  virtual std::optional<std::vector<std::string>> OriginalLabels(size_t layer) const = 0;
  /// Fails, naming it, when a stored original label belongs to an entry the legend no longer
  /// has, so that `reset` would not put it back.
  virtual void CheckOriginalLabels(size_t /*layer*/) const {}
  /// A new platform renderer as the file describes it; with `labels`, those labels stand in
  /// its legend instead of the file's.
  virtual std::shared_ptr<gis::FeatureRenderer> Renderer(
      size_t layer, const std::vector<std::string>* labels = nullptr) const = 0;
  /// Opens the layer's data source (and its join's) and makes the platform layer: named as in
  /// the file, its own table named by the GDAL layer, category the driver's long name, with
  /// definition, join and a new renderer. A SQLite database (GeoPackage, SpatiaLite) is read
  /// in place; another format GDAL opens is copied into the layer's store, only the fields
  /// `choice` needs and never geometry.
  LoadedLayer Load(size_t layer, const platform::LoadProgress& progress = {},
                   const LoadChoice& choice = {}) const;

  /// Whether the file has a place for the labels of the layer's legend (a QGIS single symbol
  /// has none).
  virtual bool KeepsLabels(size_t /*layer*/) const { return true; }
  /// Writes the labels that `renderer` shows into the layer's legend entries.
  virtual void StoreLabels(size_t layer, const gis::FeatureRenderer& renderer) = 0;
  /// Stores `labels` as the layer's original labels, unless it has them already.
  virtual void StoreOriginalLabels(size_t layer, const std::vector<std::string>& labels) = 0;

  /// The file's bytes as `Save` writes them.
  virtual std::string Contents() const = 0;
  /// Replaces the file atomically with `Contents()`, once they have been read back as this kind
  /// of file (`CheckContents`); when they do not read, fails and leaves the file as it was.
  void Save() const;
  /// Writes the map to `path` instead, as `Save` writes it, the map's own file untouched.
  void SaveAs(const std::filesystem::path& path) const;
  /// The file's bytes as they are written at `path` instead: by default `Contents()`, in the
  /// map's own folder only, since data paths may be written relative to it.
  virtual std::string ContentsAt(const std::filesystem::path& path) const;

 protected:
  explicit Map(std::filesystem::path path) : mPath(std::move(path)) {}
  Map(const Map&) = default;
  Map(Map&&) = default;
  Map& operator=(const Map&) = default;
  Map& operator=(Map&&) = default;
  std::string File() const { return mPath.string(); }
  /// Where a part of the layer's description stands in the file, for error messages.
  virtual std::string Where(size_t layer, LayerPart part) const = 0;
  /// Reads `contents` as this kind of file is read, failing as reading the file would.
  virtual void CheckContents(const std::string& contents) const = 0;
  /// Checks a loaded layer against what the file says of it and completes what only its loaded
  /// tables tell; `Load` fails with its error.
  virtual void FinishLoading(size_t /*layer*/, const LoadedLayer& /*loaded*/) const {}

  std::filesystem::path mPath;
  std::vector<LayerEntry> mLayers;

 private:
  /// `FinishLoading`, then a check that the layer's definition can run on its table, so that
  /// a misspelt field fails here, naming the place, rather than as a failed label run.
  void Finish(size_t layer, const LoadedLayer& loaded) const;
  /// Replaces the file at `path` with `contents` once they read back (`CheckContents`).
  void Write(const std::filesystem::path& path, const std::string& contents) const;
  /// Why `name` names several layers, and how to name one of them (by path first).
  std::string Ambiguity(std::string_view name, bool byPath, std::vector<size_t> layers) const;
};

/// The file's bytes. Fails with "cannot read the <what>: <reason>": a missing or unreadable
/// file, a folder, and anything else that is not a regular file (a FIFO, a device), which is
/// refused without being read.
std::string ReadWholeFile(const std::filesystem::path& path, const std::string& what);

/// A path written in a file, resolved against the file's folder unless it is absolute.
std::string ResolvePath(const std::string& written, const std::filesystem::path& folder);

/// The table of a data source: a SQLite database (a GeoPackage) read where it is, a PostgreSQL
/// layer read on its server (`*server` connected on first use, so that a join in the same
/// database shares it; with `server` null the layer is copied), anything else copied into
/// `store` as GDAL reads it. Known as `tableName` ("" names it like the layer).
platform::SourceTable OpenSource(platform::FeatureStore& store, const SourceEntry& source,
                                 const std::string& tableName,
                                 const platform::LoadProgress& progress,
                                 const platform::CopyChoice& copy,
                                 std::shared_ptr<platform::PgConnection>* server);

}  // namespace quillet::map
