#include "document/map_document.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "document/renderer_document.h"
#include "map/map_error.h"
#include "platform/layers/dataset_name.h"
#include "platform/store/feature_store.h"
#include "platform/store/pg_connection.h"
#include "quillet/error.h"
#include "runtime/case.h"

namespace quillet::document {
namespace {

constexpr int64_t kVersion = 1;

// Line and column (from 1, the column in characters) of the byte at `offset`.
std::pair<size_t, size_t> LineAndColumn(const std::string& text, size_t offset) {
  size_t line = 1;
  size_t column = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return {line, column};
}

// The parser's reason without its prefix and position ("syntax error while parsing ...").
std::string ParseReason(const std::string& what) {
  const size_t position = what.find("column ");
  const size_t colon = what.find(": ", position == std::string::npos ? 0 : position);
  return colon == std::string::npos ? what : what.substr(colon + 2);
}

map::SourceEntry ReadSource(const JsonReader& reader, const Json& value, const std::string& where,
                            const std::filesystem::path& folder) {
  const Json& source = reader.Object(value, where);
  const auto path = reader.OptionalString(source, where, "path");
  const auto connection = reader.OptionalString(source, where, "connection");
  if (path && connection) throw reader.Error(where, "give \"path\" or \"connection\", not both");
  if (!path && !connection) throw reader.Error(where, "missing key \"path\" (or \"connection\")");
  map::SourceEntry item;
  item.layer = reader.OptionalString(source, where, "layer").value_or("");
  if (connection) {
    item.location = *connection;
    item.written = platform::WithoutPassword(*connection);
  } else {
    item.written = *path;
    item.location = map::ResolvePath(*path, folder);
  }
  return item;
}

}  // namespace

MapDocument::MapDocument(std::filesystem::path path, Json json)
    : map::Map(std::move(path)), mJson(std::move(json)) {}

MapDocument MapDocument::Read(const std::filesystem::path& path) {
  return Parse(map::ReadWholeFile(path, "map document"), path);
}

MapDocument MapDocument::Parse(const std::string& text, const std::filesystem::path& path) {
  const auto at = [&](size_t offset) {
    const auto [line, column] = LineAndColumn(text, offset);
    return path.string() + ":" + std::to_string(line) + ":" + std::to_string(column);
  };
  if (const size_t deep = TooDeeplyNested(text); deep != std::string::npos)
    throw map::MapError(at(deep), "",
                        "arrays and objects nest deeper than " + std::to_string(kMaxJsonDepth) +
                            " levels, which no map document needs");
  Json json;
  try {
    json = Json::parse(text);
  } catch (const Json::parse_error& error) {
    throw map::MapError(at(error.byte == 0 ? 0 : error.byte - 1), "",
                        "malformed JSON: " + ParseReason(error.what()));
  } catch (const Json::exception& error) {
    // A number beyond a double's range, which the parser reports without a place.
    const std::string what = error.what();
    throw map::MapError(path.string(), "", "malformed JSON: " + what.substr(what.find("] ") + 2));
  }
  MapDocument document(path, std::move(json));
  document.ReadLayers();
  return document;
}

void MapDocument::ReadLayers() {
  const JsonReader reader(File());
  reader.Object(mJson, "");
  const std::string versionAt = "/quillet";
  const int64_t version = reader.Integer(reader.Required(mJson, "", "quillet"), versionAt);
  if (version != kVersion)
    throw reader.Error(versionAt, "this is a map document of version " + std::to_string(version) +
                                      "; quillet reads version 1");

  const std::filesystem::path folder = mPath.parent_path();
  const Json& layers = reader.Array(reader.Required(mJson, "", "layers"), "/layers");
  for (size_t i = 0; i < layers.size(); ++i) {
    const std::string where = Pointer("/layers", i);
    const Json& layer = reader.Object(layers[i], where);
    map::LayerEntry item;
    item.name = reader.RequiredString(layer, where, "name");
    for (const auto& earlier : mLayers)
      if (earlier.name == item.name)
        throw reader.Error(Pointer(where, "name"),
                           "another layer is named \"" + item.name + "\" already");
    item.source = ReadSource(reader, reader.Required(layer, where, "source"),
                             Pointer(where, "source"), folder);
    item.definitionExpression = reader.OptionalString(layer, where, "definitionExpression");
    if (const Json* selection = reader.Optional(layer, "definitionSelection")) {
      const std::string selectionAt = Pointer(where, "definitionSelection");
      std::vector<int64_t> ids;
      for (size_t j = 0; j < reader.Array(*selection, selectionAt).size(); ++j)
        ids.push_back(reader.Integer((*selection)[j], Pointer(selectionAt, j)));
      item.definitionSelection = std::move(ids);
    }
    if (const Json* join = reader.Optional(layer, "join")) {
      const std::string joinAt = Pointer(where, "join");
      reader.Object(*join, joinAt);
      map::JoinEntry joinEntry;
      joinEntry.source = ReadSource(reader, reader.Required(*join, joinAt, "source"),
                                    Pointer(joinAt, "source"), folder);
      joinEntry.name = reader.RequiredString(*join, joinAt, "name");
      if (joinEntry.name.empty() || joinEntry.name.find('.') != std::string::npos)
        throw reader.Error(Pointer(joinAt, "name"),
                           "a join name is a word without dots that qualifies the joined fields");
      joinEntry.field = reader.RequiredString(*join, joinAt, "field");
      joinEntry.joinField = reader.RequiredString(*join, joinAt, "joinField");
      item.join = std::move(joinEntry);
    }

    const std::string rendererAt = Pointer(where, "renderer");
    const Json& renderer = reader.Required(layer, where, "renderer");
    ReadRenderer(reader, renderer, rendererAt);
    if (const Json* original = reader.Optional(renderer, "originalLabels")) {
      const std::string originalAt = Pointer(rendererAt, "originalLabels");
      const size_t entries = LegendEntries(renderer).size();
      if (reader.Strings(*original, originalAt).size() != entries)
        throw reader.Error(originalAt, "holds " + std::to_string(original->size()) +
                                           " labels, but the legend has " +
                                           std::to_string(entries) + " entries");
    }
    mLayers.push_back(std::move(item));
  }
}

std::string MapDocument::RendererPointer(size_t layer) const {
  return Pointer(Pointer("/layers", layer), "renderer");
}

const Json& MapDocument::RendererJson(size_t layer) const {
  return mJson.at("layers").at(layer).at("renderer");
}

std::string MapDocument::RendererKind(size_t layer) const {
  return RendererJson(layer).at("kind").get<std::string>();
}

std::vector<map::LegendEntry> MapDocument::Legend(size_t layer) const {
  return LegendEntries(RendererJson(layer));
}

std::optional<std::vector<std::string>> MapDocument::OriginalLabels(size_t layer) const {
  const Json& renderer = RendererJson(layer);
  const auto found = renderer.find("originalLabels");
  if (found == renderer.end() || found->is_null()) return std::nullopt;
  return found->get<std::vector<std::string>>();
}

std::shared_ptr<gis::FeatureRenderer> MapDocument::Renderer(
    size_t layer, const std::vector<std::string>* labels) const {
  const JsonReader reader(File());
  if (labels == nullptr) return ReadRenderer(reader, RendererJson(layer), RendererPointer(layer));
  Json relabelled = RendererJson(layer);
  WriteLegendLabels(relabelled, *labels);
  return ReadRenderer(reader, relabelled, RendererPointer(layer));
}

std::string MapDocument::Where(size_t layer, map::LayerPart part) const {
  const std::string at = Pointer("/layers", layer);
  switch (part) {
    case map::LayerPart::kSource:
      return Pointer(at, "source");
    case map::LayerPart::kJoin:
      return Pointer(at, "join");
    case map::LayerPart::kJoinSource:
      return Pointer(Pointer(at, "join"), "source");
    case map::LayerPart::kJoinName:
      return Pointer(Pointer(at, "join"), "name");
    case map::LayerPart::kJoinField:
      return Pointer(Pointer(at, "join"), "field");
    case map::LayerPart::kJoinJoinField:
      return Pointer(Pointer(at, "join"), "joinField");
  }
  return at;
}

void MapDocument::StoreLabels(size_t layer, const gis::FeatureRenderer& renderer) {
  Json& json = mJson["layers"][layer]["renderer"];
  WriteLegendLabels(json, map::RendererLabels(renderer));
}

void MapDocument::StoreOriginalLabels(size_t layer, const std::vector<std::string>& labels) {
  Json& json = mJson["layers"][layer]["renderer"];
  const auto found = json.find("originalLabels");
  if (found != json.end() && !found->is_null()) return;
  json["originalLabels"] = labels;
}

void MapDocument::CheckContents(const std::string& contents) const {
  Parse(contents, mPath);
}

std::string MapDocument::Text() const {
  return mJson.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace quillet::document
