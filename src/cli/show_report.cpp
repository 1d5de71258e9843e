#include "cli/show_report.h"

#include <vector>

#include "cli/output.h"
#include "cli/progress.h"
#include "platform/tables/query_filter.h"
#include "platform/tables/sql_table.h"
#include "quillet/error.h"
#include "quillet/gis/field.h"

namespace quillet::cli {
namespace {

using Json = nlohmann::ordered_json;

int64_t CountRows(const std::shared_ptr<gis::Cursor>& cursor) {
  int64_t count = 0;
  while (cursor->NextRow())
    ++count;
  return count;
}

// The features the layer shows: those its definition expression and selection select.
int64_t CountShown(const platform::FeatureLayer& layer, int64_t features) {
  const std::string definition = layer.DefinitionExpression();
  const platform::QueryFilter filter(definition);
  if (const auto selection = layer.DefinitionSelectionSet())
    return CountRows(selection->Search(&filter, true));
  if (definition.empty()) return features;
  return gis::Require<platform::SqlTable>(layer.DisplayedTable())->RowCount(definition);
}

// "1 feature", "2 features".
std::string Count(int64_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

Json DescribeLayer(const map::Map& document, size_t index, std::vector<std::string>& report) {
  const map::LayerEntry& item = document.Layers()[index];
  map::LoadedLayer loaded;
  {
    TerminalProgress progress(item.name);
    // The fields and the count need no rows; what the layer shows needs those of the fields its
    // definition reads.
    map::LoadChoice choice;
    choice.rows = item.definitionExpression || item.definitionSelection;
    choice.fields.emplace();
    loaded = document.Load(
        index, [&](int64_t done, int64_t total) { progress.Report(done, total); }, choice);
  }
  const auto table = loaded.layer->DisplayedTable();
  const int64_t features = loaded.featureCount
                               ? *loaded.featureCount
                               : gis::Require<platform::SqlTable>(table)->RowCount();
  const int64_t shown = CountShown(*loaded.layer, features);

  Json layer;
  layer["name"] = item.name;
  if (!item.path.empty()) layer["path"] = item.path;
  if (!item.id.empty()) layer["id"] = item.id;
  layer["source"] = item.source.written;
  layer["table"] = loaded.tableName;
  layer["category"] = loaded.category;
  layer["features"] = features;
  layer["featuresShown"] = shown;
  report.push_back("layer \"" + item.name + "\": " + loaded.tableName + " from " +
                   item.source.written + " (" + loaded.category + "), " +
                   Count(features, "feature") +
                   (shown != features ? ", " + std::to_string(shown) + " of them shown" : ""));
  if (!item.path.empty() && item.path != item.name) report.push_back("  group path: " + item.path);
  if (!item.id.empty()) report.push_back("  layer id: " + item.id);
  if (item.definitionExpression) {
    layer["definitionExpression"] = *item.definitionExpression;
    report.push_back("  definition expression: " + *item.definitionExpression);
  }
  if (item.definitionSelection) {
    layer["definitionSelection"] = *item.definitionSelection;
    report.push_back("  definition selection: " +
                     Count(static_cast<int64_t>(item.definitionSelection->size()), "object id"));
  }
  if (item.join) {
    layer["join"] = {{"name", item.join->name},
                     {"source", item.join->source.written},
                     {"field", item.join->field},
                     {"joinField", item.join->joinField}};
    report.push_back("  join: " + item.join->name + " from " + item.join->source.written +
                     " where " + item.join->field + " = " + item.join->joinField);
  }

  const std::string kind = document.RendererKind(index);
  layer["renderer"] = kind;
  report.push_back("  renderer: " + kind);
  Json legend = Json::array();
  const auto entries = document.Legend(index);
  for (const auto& entry : entries)
    legend.push_back({{"stands", entry.stands}, {"label", entry.label}});
  layer["legend"] = legend;
  // The entries as the file shows them, with what it says of each.
  Json shownEntries = Json::array();
  const auto order = document.LegendOrder(index);
  for (size_t i = 0; i < order.size(); ++i) {
    const map::LegendEntry& entry = entries.at(order[i]);
    Json shownEntry = {{"stands", entry.stands}};
    if (entry.value) shownEntry["value"] = *entry.value;
    if (entry.allOtherValues) shownEntry["value"] = nullptr;
    if (entry.range) {
      shownEntry["lower"] = entry.range->first;
      shownEntry["upper"] = entry.range->second;
    }
    shownEntry["label"] = entry.label;
    shownEntries.push_back(std::move(shownEntry));
    report.push_back("    " + std::to_string(i + 1) + ". " + entry.stands + ": " +
                     VisibleLineBreaks(entry.label));
  }
  layer["entries"] = shownEntries;
  if (const auto originals = document.OriginalLabels(index)) {
    layer["originalLabels"] = *originals;
    report.push_back("  original labels (stored by set):");
    for (const auto& label : *originals)
      report.push_back("    " + VisibleLineBreaks(label));
  }

  Json fields = Json::array();
  report.push_back("  fields:");
  const auto list = table->Fields();
  for (int32_t i = 0; i < list->FieldCount(); ++i) {
    const auto field = list->Field(i);
    fields.push_back({{"name", field->Name()},
                      {"type", field->Type()},
                      {"typeName", FieldTypeName(field->Type())}});
    report.push_back("    " + field->Name() + "  " + FieldTypeName(field->Type()) + " (" +
                     std::to_string(field->Type()) + ")");
  }
  layer["fields"] = fields;
  return layer;
}

}  // namespace

std::string FieldTypeName(int32_t type) {
  static const char* const kNames[] = {"small integer", "integer",   "single",   "double", "text",
                                       "date",          "object id", "geometry", "blob"};
  if (type < 0 || type > gis::kFieldBlob) return "type " + std::to_string(type);
  return kNames[type];
}

Outcome Show(const map::Map& document, const std::string& layer) {
  Outcome outcome;
  outcome.ok = true;
  outcome.layers = Json::array();
  if (!layer.empty()) {
    const size_t index = document.FindLayer(layer);
    outcome.layers->push_back(DescribeLayer(document, index, outcome.report));
    for (const auto& entry : document.Legend(index))
      outcome.labels.push_back(entry.label);
    return outcome;
  }
  for (size_t i = 0; i < document.Layers().size(); ++i) {
    // One layer that cannot be opened does not hide the others.
    try {
      outcome.layers->push_back(DescribeLayer(document, i, outcome.report));
    } catch (const runtime::Error& error) {
      const std::string& name = document.Layers()[i].name;
      outcome.layers->push_back({{"name", name}, {"error", error.Description()}});
      outcome.report.push_back("layer \"" + name + "\": cannot be opened: " + error.Description());
    }
  }
  return outcome;
}

}  // namespace quillet::cli
