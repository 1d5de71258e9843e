#include "qgis/qgis_map.h"

#include <algorithm>
#include <cctype>

#include "map/map_error.h"
#include "platform/store/sql_text.h"
#include "platform/tables/joined_table.h"
#include "qgis/data_source.h"
#include "qgis/layer_property.h"
#include "qgis/subset_string.h"
#include "quillet/error.h"
#include "quillet/gis/field.h"
#include "runtime/case.h"

namespace quillet::qgis {
namespace {

using map::LayerPart;
using map::MapError;

std::string ChildText(const XmlElement& element, std::string_view name) {
  const XmlElement* child = element.Child(name);
  return child ? child->text : "";
}

// Whether `attr` is an expression rather than a field name, bare or in double quotes.
bool IsExpression(const std::string& attribute) {
  const std::string name = UnquotedName(attribute);
  if (name != attribute) return name.find('"') != std::string::npos;  // "a" + "b"
  return attribute.find_first_of("()+-*/|<>=' ,\"") != std::string::npos;
}

// The field as SQL names it in the layer's query: a joined field by its table and name.
std::string FieldInSql(const std::string& field, const std::optional<map::JoinEntry>& join) {
  if (join && field.rfind(join->name + ".", 0) == 0)
    return platform::QuoteIdentifier(join->name) + "." +
           platform::QuoteIdentifier(field.substr(join->name.size() + 1));
  return platform::QuoteIdentifier(field);
}

// A join's name qualifies its fields, so it is one word: other characters become "_".
std::string JoinName(std::string prefix, const std::string& layerName) {
  while (!prefix.empty() && prefix.back() == '_')
    prefix.pop_back();
  std::string name = prefix.empty() ? layerName : prefix;
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') c = '_';
  return name;
}

std::string FieldList(const gis::Table& table) {
  std::string names;
  const auto fields = table.Fields();
  for (int32_t i = 0; i < fields->FieldCount(); ++i)
    names += (names.empty() ? "" : ", ") + fields->Field(i)->Name();
  return names;
}

// Where the layer panel shows each layer, by layer id: the groups and the name, joined by "/".
void TreePaths(const XmlElement& group, const std::string& groups,
               std::map<std::string, std::string>& paths) {
  for (const XmlElement& node : group.children) {
    if (node.name == "layer-tree-layer")
      paths.emplace(node.AttributeOr("id"), groups + node.AttributeOr("name"));
    if (node.name == "layer-tree-group")
      TreePaths(node, groups + node.AttributeOr("name") + "/", paths);
  }
}

// The last part of a path: the name the layer panel gives the layer.
std::string PathName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

// On a joined table the component selects the catch-all category's features with
// "NOT ( (F = 'a') OR (F = 'b') )", which leaves out the features whose value is null, a
// feature without a joined row among them; QGIS draws those with the catch-all too. The joined
// table runs that clause with the nulls added, in either of the component's field delimiters.
void SelectNullsWithTheCatchAll(const QgisRenderer& renderer, const std::string& field,
                                gis::Table& table, int32_t index) {
  auto* joined = dynamic_cast<platform::JoinedTable*>(&table);
  if (joined == nullptr || !renderer.HasCatchAll() || renderer.Values().empty()) return;
  const bool text = table.Fields()->Field(index)->Type() == gis::kFieldString;
  for (const std::string delimiter : {"", "\""}) {
    const std::string name = delimiter + field + delimiter;
    std::string listed;
    for (const auto& values : renderer.Values())
      listed +=
          "OR (" + name + (text ? " = '" + values.front() + "'" : " = " + values.front()) + ") ";
    joined->AlsoSelect("NOT (" + listed.substr(2) + ")", name + " IS NULL");
  }
}

bool IsProjectArchive(const std::filesystem::path& path) {
  return runtime::EqualsIgnoreCase(path.extension().string(), ".qgz");
}

}  // namespace

QgisMap::QgisMap(std::filesystem::path path, std::string text)
    : map::Map(std::move(path)), mText(std::move(text)) {
  mRoot = std::make_shared<const XmlElement>(ParseXml(mText, File()));
}

QgisMap QgisMap::ReadProject(const std::filesystem::path& path) {
  if (!IsProjectArchive(path)) {
    QgisMap map(path, map::ReadWholeFile(path, "QGIS project"));
    map.ReadProjectLayers();
    return map;
  }
  std::string bytes = map::ReadWholeFile(path, "QGIS project");
  ZipArchive archive = ZipArchive::Parse(bytes, path.string());
  std::string member;
  for (const auto& name : archive.Names()) {
    if (!runtime::EqualsIgnoreCase(std::filesystem::path(name).extension().string(), ".qgs"))
      continue;
    if (!member.empty())
      throw map::MapError(path.string(), "",
                          "the archive holds two projects, " + member + " and " + name);
    member = name;
  }
  if (member.empty())
    throw map::MapError(path.string(), "", "the archive holds no QGIS project (.qgs)");
  QgisMap map(path, archive.Extract(member));
  map.mArchive = std::move(archive);
  map.mArchiveBytes = std::move(bytes);
  map.mMember = member;
  map.ReadProjectLayers();
  return map;
}

QgisMap QgisMap::ReadStyle(const std::filesystem::path& path, const std::string& source) {
  QgisMap map(path, map::ReadWholeFile(path, "QGIS layer style"));
  map.mStyle = true;
  if (map.mRoot->name != "qgis")
    throw map::MapError(
        map.File(), "",
        "a QGIS layer style has the root element <qgis>, not <" + map.mRoot->name + ">");
  const DataSource data = ReadDataSource("ogr", source, "");
  map::LayerEntry entry;
  entry.source = data.source;
  entry.name = !data.source.layer.empty()
                   ? data.source.layer
                   : std::filesystem::path(data.source.location).stem().string();
  if (map.mRoot->Child("vectorjoins") && map.mRoot->Child("vectorjoins")->Child("join"))
    entry.unusable = "the style joins another layer, which only its project knows";
  map.ReadLayer(*map.mRoot, std::move(entry));
  return map;
}

void QgisMap::ReadProjectLayers() {
  if (mRoot->name != "qgis")
    throw map::MapError(File(), "",
                        "a QGIS project has the root element <qgis>, not <" + mRoot->name + ">");
  const XmlElement* layers = mRoot->Child("projectlayers");
  if (layers == nullptr) return;
  const std::filesystem::path folder = mPath.parent_path();
  std::map<std::string, std::string> paths;
  if (const XmlElement* tree = mRoot->Child("layer-tree-group")) TreePaths(*tree, "", paths);
  for (const XmlElement* element : layers->ChildrenNamed("maplayer")) {
    map::LayerEntry entry;
    if (element->AttributeOr("embedded") == "1") {
      // Only a reference: the layer and its renderer live in the other project.
      entry.id = element->AttributeOr("id");
      const auto path = paths.find(entry.id);
      entry.path = path != paths.end() ? path->second : "";
      entry.name = PathName(entry.path);
      entry.unusable = "the layer is embedded from the project " + element->AttributeOr("project") +
                       "; label it there";
      ReadLayer(*element, std::move(entry));
      continue;
    }
    if (element->AttributeOr("type") != "vector") continue;
    entry.name = ChildText(*element, "layername");
    entry.id = ChildText(*element, "id");
    const auto path = paths.find(entry.id);
    entry.path = path != paths.end() ? path->second : entry.name;
    try {
      const DataSource data = ReadDataSource(ChildText(*element, "provider"),
                                             ChildText(*element, "datasource"), folder);
      entry.source = data.source;
      entry.definitionExpression = data.subset;
      entry.unusable = data.unusable;
    } catch (const runtime::Error& error) {
      entry.unusable = error.Description();
    }
    ReadLayer(*element, std::move(entry));
  }
}

void QgisMap::ReadLayer(const XmlElement& element, map::LayerEntry entry) {
  QgisLayer layer;
  layer.element = &element;
  std::string prefix;
  if (!mStyle) entry.join = ReadJoin(element, entry, prefix);
  if (const XmlElement* renderer = element.Child("renderer-v2")) {
    layer.renderer.emplace(*renderer);
    layer.field = UnquotedName(layer.renderer->Attribute());
    // QGIS names a joined field by the join's prefix; the component qualifies it instead.
    if (entry.join && !prefix.empty() && layer.field.rfind(prefix, 0) == 0) {
      layer.field = entry.join->name + "." + layer.field.substr(prefix.size());
      layer.joinedField = true;
    }
    // The component's first class takes every value up to its break, but QGIS draws nothing
    // below the lowest range: the least value it draws there joins the layer's filter, so the
    // labels count what QGIS draws.
    const auto lowest = layer.renderer->LowestValue();
    if (lowest && platform::IsNumberLiteral(*lowest) && !layer.field.empty() &&
        !IsExpression(layer.renderer->Attribute())) {
      const std::string bound = FieldInSql(layer.field, entry.join) + " >= " + *lowest;
      entry.definitionExpression = entry.definitionExpression
                                       ? "( " + *entry.definitionExpression + " ) AND " + bound
                                       : bound;
    }
  }
  layer.originals = ReadStringListProperty(element, kOriginalLabelsProperty);
  layer.originalEntries = ReadStringListProperty(element, kOriginalEntriesProperty);
  if (layer.originals && layer.originalEntries &&
      layer.originals->size() != layer.originalEntries->size())
    layer.originalEntries.reset();  // a list out of step tells nothing: by order, then
  mLayers.push_back(std::move(entry));
  mQgisLayers.push_back(std::move(layer));
}

std::optional<map::JoinEntry> QgisMap::ReadJoin(const XmlElement& layer, map::LayerEntry& entry,
                                                std::string& prefix) const {
  const XmlElement* joins = layer.Child("vectorjoins");
  const auto all = joins ? joins->ChildrenNamed("join") : std::vector<const XmlElement*>{};
  if (all.empty()) return std::nullopt;
  if (all.size() > 1) {
    entry.unusable = "the layer has " + std::to_string(all.size()) +
                     " joins; quillet reads layers with one join at most";
    return std::nullopt;
  }
  const XmlElement& join = *all[0];
  const std::string id = join.AttributeOr("joinLayerId");
  const XmlElement* joined = nullptr;
  for (const XmlElement* other : mRoot->Child("projectlayers")->ChildrenNamed("maplayer"))
    if (ChildText(*other, "id") == id) joined = other;
  if (joined == nullptr) {
    entry.unusable = "the layer joins the layer " + id + ", which is not in the project";
    return std::nullopt;
  }
  const std::string joinedName = ChildText(*joined, "layername");
  // Without a custom prefix QGIS names joined fields after the joined layer: "stats_gdp".
  const XmlAttribute* custom = join.Attribute("customPrefix");
  prefix = custom ? custom->value : joinedName + "_";
  map::JoinEntry result;
  try {
    const DataSource data = ReadDataSource(ChildText(*joined, "provider"),
                                           ChildText(*joined, "datasource"), mPath.parent_path());
    if (!data.unusable.empty()) {
      entry.unusable = "the joined layer \"" + joinedName + "\": " + data.unusable;
      return std::nullopt;
    }
    result.source = data.source;
  } catch (const runtime::Error& error) {
    entry.unusable = "the joined layer \"" + joinedName + "\": " + error.Description();
    return std::nullopt;
  }
  result.name = JoinName(prefix, joinedName);
  result.field = join.AttributeOr("targetFieldName");
  result.joinField = join.AttributeOr("joinFieldName");
  // Cached in memory, QGIS keeps the last row of each key (a hash that each row overwrites);
  // otherwise it asks for the first.
  if (join.AttributeOr("memoryCache") == "1") result.match = platform::JoinMatch::kLast;
  return result;
}

const QgisMap::QgisLayer& QgisMap::At(size_t layer) const {
  return mQgisLayers.at(layer);
}

std::string QgisMap::FieldOf(size_t layer) const {
  const QgisLayer& item = At(layer);
  if (!mLayers.at(layer).join || item.joinedField || item.ownTable.empty() || item.field.empty())
    return item.field;
  return item.ownTable + "." + item.field;
}

std::string QgisMap::LayerWhere(size_t layer, const std::string& part) const {
  const std::string at = mStyle ? "" : "layer \"" + mLayers.at(layer).name + "\"";
  return at.empty() ? part : part.empty() ? at : at + " " + part;
}

std::string QgisMap::Where(size_t layer, map::LayerPart part) const {
  switch (part) {
    case map::LayerPart::kSource:
      return mStyle ? "--source " + mLayers.at(layer).source.written
                    : LayerWhere(layer, "datasource");
    case map::LayerPart::kJoin:
    case map::LayerPart::kJoinName:
      return LayerWhere(layer, "join");
    case map::LayerPart::kJoinSource:
      return LayerWhere(layer, "join, the joined layer's datasource");
    case map::LayerPart::kJoinField:
      return LayerWhere(layer, "join targetFieldName");
    case map::LayerPart::kJoinJoinField:
      return LayerWhere(layer, "join joinFieldName");
    case map::LayerPart::kDefinition:
      return LayerWhere(layer, mStyle ? "the filter of --source" : "filter (datasource subset)");
  }
  return LayerWhere(layer, "");
}

std::string QgisMap::RendererKind(size_t layer) const {
  const auto& renderer = At(layer).renderer;
  return renderer ? renderer->Kind() : "none";
}

std::vector<map::LegendEntry> QgisMap::Legend(size_t layer) const {
  std::vector<map::LegendEntry> entries;
  if (const auto& renderer = At(layer).renderer)
    for (const auto& item : renderer->Items())
      entries.push_back({item.stands, item.label, item.value, item.catchAll, item.range});
  return entries;
}

std::vector<size_t> QgisMap::LegendOrder(size_t layer) const {
  const auto& renderer = At(layer).renderer;
  return renderer ? renderer->LegendOrder() : std::vector<size_t>{};
}

std::optional<std::vector<std::string>> QgisMap::OriginalLabels(size_t layer) const {
  const QgisLayer& item = At(layer);
  if (!item.originals || !item.originalEntries || !item.renderer) return item.originals;
  // Each entry takes the original stored for it, wherever it stands now; an entry added since
  // keeps its label.
  std::vector<std::string> labels;
  for (const auto& entry : item.renderer->Items()) {
    const auto& keys = *item.originalEntries;
    const auto stored = std::find(keys.begin(), keys.end(), entry.key);
    labels.push_back(stored == keys.end() ? entry.label
                                          : (*item.originals)[size_t(stored - keys.begin())]);
  }
  return labels;
}

void QgisMap::CheckOriginalLabels(size_t layer) const {
  const QgisLayer& item = At(layer);
  if (!item.originals || !item.originalEntries || !item.renderer) return;
  const auto& entries = item.renderer->Items();
  for (size_t i = 0; i < item.originalEntries->size(); ++i) {
    const std::string& key = (*item.originalEntries)[i];
    if (std::any_of(entries.begin(), entries.end(),
                    [&](const LegendItem& entry) { return entry.key == key; }))
      continue;
    const bool ranges = !entries.empty() && entries.front().range.has_value();
    const std::string what = ranges        ? "the range " + key
                             : key.empty() ? "the catch-all category"
                                           : "the category \"" + key + "\"";
    throw map::MapError(File(), LayerWhere(layer, "customproperties"),
                        "the original label \"" + (*item.originals)[i] + "\" belongs to " + what +
                            ", which the legend no longer has; reset cannot put it back (set "
                            "the category or range back in QGIS, or put the labels back by hand)");
  }
}

std::shared_ptr<gis::FeatureRenderer> QgisMap::Renderer(
    size_t layer, const std::vector<std::string>* labels) const {
  const QgisLayer& item = At(layer);
  if (!item.renderer)
    throw map::MapError(File(), LayerWhere(layer, ""), "the layer has no renderer (<renderer-v2>)");
  try {
    return item.renderer->Make(FieldOf(layer), labels);
  } catch (const runtime::Error& error) {
    throw map::MapError(File(), LayerWhere(layer, "renderer-v2"), error.Description());
  }
}

void QgisMap::FinishLoading(size_t layer, const map::LoadedLayer& loaded) const {
  const QgisLayer& item = At(layer);
  const auto& join = mLayers.at(layer).join;
  if (join) {
    item.ownTable = loaded.tableName;
    if (!item.field.empty() && !item.joinedField) loaded.layer->SetRenderer(Renderer(layer));
  }
  const auto table = loaded.layer->DisplayedTable();
  if (join && !loaded.layer->DefinitionExpression().empty()) {
    std::vector<std::string> own;
    const auto fields = loaded.layer->FeatureClass()->Fields();
    for (int32_t i = 0; i < fields->FieldCount(); ++i)
      own.push_back(fields->Field(i)->Name());
    loaded.layer->SetDefinitionExpression(
        QualifyOwnFields(loaded.layer->DefinitionExpression(), loaded.tableName, own));
  }
  if (!item.renderer || item.renderer->Attribute().empty()) return;
  const std::string field = FieldOf(layer);
  const int32_t index = table->FindField(field);
  if (index >= 0) {
    if (join) SelectNullsWithTheCatchAll(*item.renderer, field, *table, index);
    return;
  }
  const std::string& attribute = item.renderer->Attribute();
  throw map::MapError(
      File(), LayerWhere(layer, "renderer-v2 attr"),
      IsExpression(attribute)
          ? "the renderer classifies by the expression " + attribute +
                "; quillet labels renderers that classify by a field"
          : "the renderer classifies by the field " + attribute +
                ", which the layer's table does not have (its fields: " + FieldList(*table) + ")");
}

bool QgisMap::KeepsLabels(size_t layer) const {
  const auto& renderer = At(layer).renderer;
  return renderer && renderer->HoldsLabels();
}

void QgisMap::Edit(Span span, std::string text) {
  mEdits[span.begin] = XmlEdit{span, std::move(text)};
}

void QgisMap::StoreLabels(size_t layer, const gis::FeatureRenderer& renderer) {
  if (!KeepsLabels(layer)) return;
  const auto& items = At(layer).renderer->Items();
  const std::vector<std::string> labels = map::RendererLabels(renderer);
  if (labels.size() != items.size())
    throw map::MapError(File(), LayerWhere(layer, "renderer-v2"),
                        "the legend has " + std::to_string(items.size()) + " entries, not " +
                            std::to_string(labels.size()));
  for (size_t i = 0; i < items.size(); ++i) {
    const XmlElement& element = *items[i].element;
    if (const XmlAttribute* label = element.Attribute("label")) {
      // An unchanged label keeps its bytes, however the file escaped them.
      if (label->value == labels[i])
        mEdits.erase(label->valueSpan.begin);
      else
        Edit(label->valueSpan, EscapeAttribute(labels[i], mText[label->valueSpan.begin - 1]));
      continue;
    }
    const size_t end = element.empty ? element.whole.end - 2 : element.content.begin - 1;
    Edit({end, end}, " label=\"" + EscapeAttribute(labels[i]) + "\"");
  }
}

void QgisMap::StoreOriginalLabels(size_t layer, const std::vector<std::string>& labels) {
  QgisLayer& item = mQgisLayers.at(layer);
  if (item.originals || !KeepsLabels(layer)) return;
  // Each label with the entry it belongs to, so that reset puts it back on that entry after
  // the legend was reordered in QGIS.
  std::vector<std::string> entries;
  for (const auto& entry : item.renderer->Items())
    entries.push_back(entry.key);
  if (entries.size() != labels.size()) entries.clear();
  XmlEdit edit = AddStringListProperties(
      mText, *item.element,
      entries.empty() ? std::vector<StringListProperty>{{kOriginalLabelsProperty, labels}}
                      : std::vector<StringListProperty>{{kOriginalLabelsProperty, labels},
                                                        {kOriginalEntriesProperty, entries}});
  mEdits[edit.span.begin] = std::move(edit);
  item.originals = labels;
  if (!entries.empty()) item.originalEntries = entries;
}

void QgisMap::CheckContents(const std::string& contents) const {
  if (!mArchive) {
    ParseXml(contents, File());
    return;
  }
  ParseXml(ZipArchive::Parse(contents, File()).Extract(mMember), File());
}

std::string QgisMap::Contents() const {
  // Unchanged, an archive keeps its bytes rather than being deflated anew.
  if (mEdits.empty()) return mArchive ? mArchiveBytes : mText;
  std::vector<XmlEdit> edits;
  for (const auto& [begin, edit] : mEdits)
    edits.push_back(edit);
  std::string text = ApplyEdits(mText, std::move(edits));
  if (!mArchive) return text;
  return mArchive->WithMember(mMember, text);
}

std::string QgisMap::ContentsAt(const std::filesystem::path& path) const {
  return mStyle ? Contents() : Map::ContentsAt(path);
}

}  // namespace quillet::qgis
