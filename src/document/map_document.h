#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/json_layout.h"
#include "document/json_reader.h"
#include "map/map.h"

namespace quillet::document {

/// A map document: a JSON file that lists layers with their data sources, definitions, joins
/// and renderers (docs/map-documents.md has every key). Labels are written back into the
/// file's own text: only the label strings change (and the keys a label or the original
/// labels need are added), every other byte, the author's layout included, is kept. Errors
/// name the key as a JSON pointer.
class MapDocument : public map::Map {
 public:
  /// Reads and checks the document at `path`. Relative source paths are taken from the
  /// document's folder.
  static MapDocument Read(const std::filesystem::path& path);
  /// Checks a document's text as if it were read from `path` (which is not opened).
  static MapDocument Parse(const std::string& text, const std::filesystem::path& path);

  /// The layer's renderer object.
  const Json& RendererJson(size_t layer) const;
  /// Its "kind".
  std::string RendererKind(size_t layer) const override;
  std::vector<map::LegendEntry> Legend(size_t layer) const override;
  /// The renderer's "originalLabels".
  std::optional<std::vector<std::string>> OriginalLabels(size_t layer) const override;

  std::shared_ptr<gis::FeatureRenderer> Renderer(
      size_t layer, const std::vector<std::string>* labels = nullptr) const override;

  void StoreLabels(size_t layer, const gis::FeatureRenderer& renderer) override;
  /// Stores the renderer's "originalLabels", unless it has them already.
  void StoreOriginalLabels(size_t layer, const std::vector<std::string>& labels) override;

  /// The document as it would be saved: the file's text with the labels written in.
  std::string Text() const;
  std::string Contents() const override { return Text(); }
  /// The text with every relative source path written relative to the folder of `path`.
  std::string ContentsAt(const std::filesystem::path& path) const override;

 protected:
  std::string Where(size_t layer, map::LayerPart part) const override;
  /// Checks the renderer's fields against the loaded table: each one of its fields, and a
  /// class breaks field numeric.
  void FinishLoading(size_t layer, const map::LoadedLayer& loaded) const override;
  void CheckContents(const std::string& contents) const override;

 private:
  MapDocument(std::filesystem::path path, Json json, std::string text);
  void ReadLayers();
  std::string RendererPointer(size_t layer) const;
  /// Writes `value` as the `key` of the object at `object` into the text.
  void Write(const std::string& object, const std::string& key, const Json& value);

  Json mJson;
  JsonLayout mLayout;
  /// Pending changes of the text, by the JSON pointer of the value each writes.
  std::map<std::string, TextEdit> mEdits;
};

}  // namespace quillet::document
