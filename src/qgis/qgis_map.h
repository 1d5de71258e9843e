#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "map/map.h"
#include "qgis/qgis_renderer.h"
#include "qgis/xml_document.h"
#include "qgis/zip_archive.h"

namespace quillet::qgis {

/// The custom property of a QGIS layer that keeps the labels from before the first `set`.
inline constexpr const char* kOriginalLabelsProperty = "quillet/originalLabels";
/// The custom property that says, label by label, which legend entry each original label
/// belongs to: a category's value ("" for the catch-all), a range's bounds as the file writes
/// them ("0.000000000000000 - 1000000.000000000000000"). Without it (projects labelled before
/// it was written) the originals are taken in the order of the legend's entries.
inline constexpr const char* kOriginalEntriesProperty = "quillet/originalLabelEntries";

/// A QGIS project (.qgs, or .qgz: a zip archive holding one .qgs) or a QGIS layer style (.qml)
/// read as a map. Its layers are the project's vector layers (a style has one, over the data
/// given for it); docs/qgis.md says how QGIS's data sources, renderers and joins become the
/// component's.
///
/// Writing changes the `label` attributes of categories and ranges, and adds the original
/// labels as the layer's custom properties "quillet/originalLabels" and
/// "quillet/originalLabelEntries" (string lists, which QGIS keeps and ignores); every other
/// byte of the file stays as it was, and every other member of a .qgz keeps its bytes.
///
/// Layers are found by their layer id and their path in the layer tree too (`FindLayer`), and
/// the legend is listed in the component's order with the order QGIS shows it (`LegendOrder`).
class QgisMap : public map::Map {
 public:
  static QgisMap ReadProject(const std::filesystem::path& path);
  /// A style applied to the data at `source` (a path GDAL opens, optionally followed by
  /// "|layername=NAME"); the layer is named by its GDAL layer name, else by the file's stem.
  static QgisMap ReadStyle(const std::filesystem::path& path, const std::string& source);

  std::string RendererKind(size_t layer) const override;
  std::vector<map::LegendEntry> Legend(size_t layer) const override;
  std::vector<size_t> LegendOrder(size_t layer) const override;
  std::optional<std::vector<std::string>> OriginalLabels(size_t layer) const override;
  void CheckOriginalLabels(size_t layer) const override;
  std::shared_ptr<gis::FeatureRenderer> Renderer(
      size_t layer, const std::vector<std::string>* labels = nullptr) const override;

  bool KeepsLabels(size_t layer) const override;
  void StoreLabels(size_t layer, const gis::FeatureRenderer& renderer) override;
  void StoreOriginalLabels(size_t layer, const std::vector<std::string>& labels) override;
  std::string Contents() const override;
  /// A style names no data and goes anywhere; a project only beside itself.
  std::string ContentsAt(const std::filesystem::path& path) const override;

 protected:
  std::string Where(size_t layer, map::LayerPart part) const override;
  void CheckContents(const std::string& contents) const override;
  void FinishLoading(size_t layer, const map::LoadedLayer& loaded) const override;

 private:
  struct QgisLayer {
    const XmlElement* element = nullptr;
    std::optional<QgisRenderer> renderer;
    /// The field the renderer classifies by, as the layer's table names it: a joined field by
    /// the join's name ("stats.gdp"), an own field by its name alone.
    std::string field;
    bool joinedField = false;
    /// The layer's own table once its data were loaded, which qualifies an own field on a
    /// joined layer ("world.pop"), where a name both tables have would be ambiguous.
    mutable std::string ownTable;
    std::optional<std::vector<std::string>> originals;
    /// The legend entry of each original label (`kOriginalEntriesProperty`), when stored.
    std::optional<std::vector<std::string>> originalEntries;
  };

  QgisMap(std::filesystem::path path, std::string text);
  void ReadProjectLayers();
  void ReadLayer(const XmlElement& element, map::LayerEntry entry);
  std::optional<map::JoinEntry> ReadJoin(const XmlElement& layer, map::LayerEntry& entry,
                                         std::string& prefix) const;
  const QgisLayer& At(size_t layer) const;
  /// The field the renderer classifies by, as the loaded layer's table names it.
  std::string FieldOf(size_t layer) const;
  std::string LayerWhere(size_t layer, const std::string& part) const;
  void Edit(Span span, std::string text);

  std::string mText;
  std::shared_ptr<const XmlElement> mRoot;
  std::optional<ZipArchive> mArchive;
  std::string mMember;
  std::string mArchiveBytes;
  bool mStyle = false;
  std::vector<QgisLayer> mQgisLayers;
  /// Pending replacements of the text, by where they begin.
  std::map<size_t, XmlEdit> mEdits;
};

}  // namespace quillet::qgis
