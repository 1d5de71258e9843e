#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "quillet/gis/layer.h"
#include "quillet/gis/object_factory.h"
#include "quillet/label_collection.h"

namespace quillet {

class Quillet;

/// Told how far opening a layer's data has come: rows read so far, and the rows in all (-1
/// when the source cannot count them cheaply).
using LoadProgress = std::function<void(int64_t done, int64_t total)>;

/// A map file whose layers Quillet labels: a JSON map document, a QGIS project (.qgs, .qgz)
/// or a QGIS layer style (.qml) applied to a data source. Opening reads and checks the file
/// but no data; `OpenLayer` opens one layer's data on the platform that `Platform` returns, so
/// that a `Quillet` bound to it can label the layer. `Save` writes what the labels of the
/// opened layers are now into the file, every other byte kept, and replaces it atomically.
///
/// Failures are `runtime::Error`s of one line naming the file, the place in it and what is
/// wrong: input that cannot be read, as opposed to the component's refusals.
class MapFile {
 public:
  /// What a host opens a map for.
  enum class Access {
    kRead,  ///< to read it: labels, verify, show
    /// To change and save it: set, reset. The map is locked (an advisory lock, `flock`) from
    /// before it is read until this object goes, so that a second writer waits for the first
    /// and changes what the first saved; after two minutes of waiting `Open` fails saying that
    /// another process is writing the map.
    kWrite,
  };

  /// Opens the map by its extension: `.qgs` and `.qgz` are QGIS projects, `.qml` a QGIS layer
  /// style whose data `source` names (a path GDAL opens, optionally followed by
  /// "|layername=NAME"), anything else a JSON map document. Only a regular file is read: a
  /// FIFO or a device is refused.
  static std::unique_ptr<MapFile> Open(const std::filesystem::path& path,
                                       const std::string& source = "",
                                       Access access = Access::kRead);
  ~MapFile();
  MapFile(const MapFile&) = delete;
  MapFile& operator=(const MapFile&) = delete;

  const std::filesystem::path& Path() const;
  /// The names of the map's layers, in the file's order.
  std::vector<std::string> LayerNames() const;
  /// What names the layer that `name` stands for alone (its name, else its path in a QGIS
  /// project's layer tree, else its layer id): `name` may be the layer's id, its name or its
  /// path ("Boston/Graduated/Tracts"), compared exactly, else without regard to letter case.
  /// Fails listing the layers there are, or the paths and ids of layers of one name.
  std::string FindLayer(std::string_view name) const;

  /// One entry of a layer's legend.
  struct LegendEntry {
    /// What it stands for, as `quillet show` words it ("Africa", "all other values",
    /// "above 1000000 to 10000000").
    std::string stands;
    /// Where the file says (a QGIS legend): a category's value, whether it is the catch-all
    /// category, a range's bounds.
    std::optional<std::string> value;
    bool allOtherValues = false;
    std::optional<std::pair<double, double>> range;
    /// The label the file holds for it.
    std::string label;
    /// Its place among the component's labels (`Quillet::Labels`, from 0), which put a
    /// catch-all category last and ranges from the lowest up.
    size_t labelIndex = 0;
  };
  /// The layer's legend entries in the order the file shows them.
  std::vector<LegendEntry> Legend(std::string_view name) const;

  /// Creates the query filters and statistics that label runs over this map's layers use.
  std::shared_ptr<gis::ObjectFactory> Platform() const;
  /// Opens the layer's data: a layer for the component, with its definition, join and a
  /// renderer as the file describes it. Each call opens it anew. Data that is read in place
  /// (GeoPackage, SpatiaLite, SQLite) costs nothing to open; other formats are copied, and
  /// with an `expression` only the fields it names (besides what the renderer, the
  /// definition and the join use) are.
  std::shared_ptr<gis::Layer> OpenLayer(std::string_view name, const LoadProgress& progress = {},
                                        const std::string& expression = "");

  /// Whether the file has a place for the labels of the layer's legend (a QGIS single symbol
  /// has none).
  bool KeepsLabels(std::string_view name) const;
  /// The labels that stood before the first labels were saved into the file, when it stores
  /// them.
  std::optional<std::vector<std::string>> OriginalLabels(std::string_view name) const;
  /// Records in `labeler` the labels the file stores as the layer's originals, as if its first
  /// `SetLabels` had met them, so that its `ResetLabels` puts them back. Returns false, with the
  /// component's message in `labeler`, when it refuses the layer; true also when the file
  /// stores none. Fails naming the entry when an original belongs to an entry the legend no
  /// longer has.
  bool RecallOriginalLabels(std::string_view name, const std::shared_ptr<gis::Layer>& layer,
                            Quillet& labeler) const;

  /// Puts the labels the file stores as the layer's originals (those from before its first
  /// labels were saved) into `layer`'s renderer, so that a label run reads them as `$$LABEL`
  /// and `SetLabels` records them: labelling the layer again then gives what the first
  /// labelling gave, however often it is done. Returns false, changing nothing, when the file
  /// stores none.
  bool UseOriginalLabels(std::string_view name, const std::shared_ptr<gis::Layer>& layer) const;

  /// Writes into the file's text the labels that the layer's renderer shows now and, unless
  /// the file stores them already, `originals` as the labels from before.
  void StoreLabels(std::string_view name, const gis::Layer& layer,
                   const LabelCollection& originals);
  /// The file's bytes as `Save` writes them.
  std::string Contents() const;
  /// Replaces the file atomically with `Contents()`, after reading them back as the kind of
  /// file they are; when they do not read, fails and leaves the file as it was. Labels are
  /// written as valid UTF-8: a byte of a label that is not (from data in another encoding)
  /// becomes U+FFFD.
  void Save() const;
  /// Writes the map to another file, atomically, the map's own file untouched: data paths
  /// written relative to the map's folder are written relative to the new file's. Fails when
  /// `path` names another kind of map (by its extension), or another folder for a QGIS
  /// project, whose data paths are not rewritten.
  void SaveAs(const std::filesystem::path& path) const;

  /// Stops the work under way on this map's layers, from any thread (a host's Cancel): a load
  /// stops at its next progress report, failing with "interrupted", and every query on the
  /// layers opened here fails, so a label run over them returns false. It stays so: layers
  /// opened later fail alike; open the map again for more work.
  void Interrupt();

 private:
  struct Impl;
  explicit MapFile(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> mImpl;
};

/// A layer made from a field of a data file, for a map document (`quillet init`).
struct LayerFromData {
  /// What GDAL opens: a file, a folder, a connection.
  std::filesystem::path data;
  /// The layer of the data; "" for its first.
  std::string sourceLayer;
  /// The field the renderer draws by.
  std::string field;
  /// "unique": one class per value, sorted, and one for all other values; or class breaks of
  /// a numeric field by "quantile", "equal" (interval), "jenks", "pretty" or "stddev", with
  /// the bounds QGIS computes for the same field, method and class count.
  std::string classify = "unique";
  /// The number of classes the class breaks methods aim at.
  int32_t classes = 5;
  /// The layer's name; "" for the data layer's.
  std::string name;
};

/// The text of the map document at `map` with the layer `layer` describes added after its
/// layers, every other byte of it kept; where `map` does not exist, of a new document of that
/// layer alone; with `map` empty, of a new document whose data path is written as given. Each
/// class is labelled as QGIS labels it: the value, or the range's bounds ("0 - 1.5"). Fails
/// naming the data and what is wrong (an unknown field, with the nearest names; text or no
/// values for class breaks) or the map (not a map document, or a layer of that name in it).
std::string MapDocumentWithLayer(const LayerFromData& layer, const std::filesystem::path& map);

}  // namespace quillet
