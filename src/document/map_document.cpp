#include "document/map_document.h"

#include <algorithm>
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
#include "quillet/gis/field.h"
#include "runtime/case.h"
#include "runtime/nearest_names.h"

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

// nlohmann's DOM builder, keeping where and why parsing failed instead of throwing: a number
// out of range is thrown without its position otherwise.
class PlacedDomParser : public nlohmann::detail::json_sax_dom_parser<Json> {
 public:
  explicit PlacedDomParser(Json& json) : json_sax_dom_parser(json, false) {}
  template <class Exception>
  bool parse_error(std::size_t position, const std::string& token, const Exception& error) {
    // A number out of range is placed where it begins, anything else where reading stopped.
    overflow = error.id == 406;
    number = token;
    failedAt = overflow ? position - std::min(position, token.size()) : position - (position > 0);
    reason = error.what();
    return false;
  }
  size_t failedAt = 0;  ///< the byte offset
  std::string reason;
  bool overflow = false;
  std::string number;
};

// The parser's reason without its prefix and position ("syntax error while parsing ...").
std::string ParseReason(const std::string& what) {
  const size_t id = what.find("] ");
  std::string reason = id == std::string::npos ? what : what.substr(id + 2);
  const size_t position = reason.find("column ");
  const size_t colon = reason.find(": ", position == std::string::npos ? 0 : position);
  return position == std::string::npos || colon == std::string::npos ? reason
                                                                     : reason.substr(colon + 2);
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

// The fields of a table, its names and types.
std::vector<std::pair<std::string, int32_t>> FieldsOf(const gis::Table& table) {
  std::vector<std::pair<std::string, int32_t>> fields;
  const auto list = table.Fields();
  for (int32_t i = 0; i < list->FieldCount(); ++i)
    fields.emplace_back(list->Field(i)->Name(), list->Field(i)->Type());
  return fields;
}

// Fails naming the key when a renderer field is not one of the table's, or a class breaks
// field is not numeric: the component would select no feature, or fail in its run.
void CheckRendererFields(const JsonReader& reader, const Json& renderer, const std::string& where,
                         const std::string& layer, const gis::Table& table) {
  const auto fields = FieldsOf(table);
  const auto check = [&](const std::string& name, const std::string& at, bool numeric) {
    const auto found = std::find_if(fields.begin(), fields.end(), [&](const auto& field) {
      return runtime::EqualsIgnoreCase(field.first, name);
    });
    const std::string place = at + " (layer \"" + layer + "\")";
    if (found == fields.end()) {
      std::vector<std::string> names;
      for (const auto& field : fields)
        names.push_back(field.first);
      throw reader.Error(place, "the layer's table has no field " + name + " (" +
                                    runtime::FieldsNear(name, names) + ")");
    }
    if (numeric && !gis::IsNumericFieldType(found->second))
      throw reader.Error(place, "the field " + found->first +
                                    " is not numeric; class breaks need a numeric field");
  };
  const std::string kind = renderer.value("kind", "");
  if (kind == "uniqueValue") {
    const Json& names = renderer.at("fields");
    for (size_t i = 0; i < names.size(); ++i)
      check(names[i].get<std::string>(), Pointer(Pointer(where, "fields"), i), false);
  } else if (kind == "classBreaks") {
    check(renderer.at("field").get<std::string>(), Pointer(where, "field"), true);
  } else if (kind == "bivariate") {
    CheckRendererFields(reader, renderer.at("main"), Pointer(where, "main"), layer, table);
    CheckRendererFields(reader, renderer.at("second"), Pointer(where, "second"), layer, table);
  }
}

}  // namespace

MapDocument::MapDocument(std::filesystem::path path, Json json, std::string text)
    : map::Map(std::move(path)), mJson(std::move(json)), mLayout(std::move(text)) {}

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
  PlacedDomParser parser(json);
  if (!Json::sax_parse(text, &parser)) {
    throw map::MapError(at(parser.failedAt), "",
                        parser.overflow ? "the number " + parser.number +
                                              " is beyond the range of numbers (about 1.8e308)"
                                        : "malformed JSON: " + ParseReason(parser.reason));
  }
  MapDocument document(path, std::move(json), text);
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
    case map::LayerPart::kDefinition:
      return Pointer(at, "definitionExpression") + " (layer \"" + mLayers.at(layer).name + "\")";
  }
  return at;
}

void MapDocument::FinishLoading(size_t layer, const map::LoadedLayer& loaded) const {
  CheckRendererFields(JsonReader(File()), RendererJson(layer), RendererPointer(layer),
                      mLayers.at(layer).name, *loaded.layer->DisplayedTable());
}

void MapDocument::StoreLabels(size_t layer, const gis::FeatureRenderer& renderer) {
  Json& json = mJson["layers"][layer]["renderer"];
  const std::vector<std::string> labels = map::RendererLabels(renderer);
  WriteLegendLabels(json, labels);
  const std::vector<std::string> entries = LegendEntryPointers(json, RendererPointer(layer));
  for (size_t i = 0; i < entries.size(); ++i)
    Write(entries[i], "label", labels.at(i));
}

void MapDocument::StoreOriginalLabels(size_t layer, const std::vector<std::string>& labels) {
  Json& json = mJson["layers"][layer]["renderer"];
  const auto found = json.find("originalLabels");
  if (found != json.end() && !found->is_null()) return;
  json["originalLabels"] = labels;
  Write(RendererPointer(layer), "originalLabels", labels);
}

void MapDocument::Write(const std::string& object, const std::string& key, const Json& value) {
  const std::string at = Pointer(object, key);
  const auto span = mLayout.Span(at);
  const Json written =
      span ? Json::parse(mLayout.Text().substr(span->first, span->second - span->first)) : Json();
  // What the file says already keeps its bytes; an absent label reads as "".
  if (written == value || (written.is_null() && value == Json(""))) {
    mEdits.erase(at);
    return;
  }
  mEdits[at] = span ? mLayout.Replace(at, value) : mLayout.AddMember(object, key, value);
}

void MapDocument::CheckContents(const std::string& contents) const {
  Parse(contents, mPath);
}

std::string MapDocument::Text() const {
  std::vector<TextEdit> edits;
  for (const auto& [at, edit] : mEdits)
    edits.push_back(edit);
  return ApplyEdits(mLayout.Text(), std::move(edits));
}

std::string MapDocument::ContentsAt(const std::filesystem::path& path) const {
  namespace fs = std::filesystem;
  const fs::path from = fs::absolute(mPath).parent_path();
  const fs::path to = fs::absolute(path).parent_path();
  std::vector<TextEdit> edits;
  for (const auto& [at, edit] : mEdits)
    edits.push_back(edit);
  for (size_t i = 0; i < mLayers.size(); ++i) {
    for (const std::string& source : {Pointer(Pointer("/layers", i), "source"),
                                      Pointer(Pointer(Pointer("/layers", i), "join"), "source")}) {
      const std::string at = Pointer(source, "path");
      const auto span = mLayout.Span(at);
      if (!span) continue;
      const fs::path written =
          Json::parse(mLayout.Text().substr(span->first, span->second - span->first))
              .get<std::string>();
      if (written.is_absolute()) continue;
      const fs::path moved = fs::relative(from / written, to);
      if (moved != written) edits.push_back(mLayout.Replace(at, moved.generic_string()));
    }
  }
  return ApplyEdits(mLayout.Text(), std::move(edits));
}

}  // namespace quillet::document
