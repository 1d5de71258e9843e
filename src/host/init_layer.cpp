#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

#include "classify/breaks.h"
#include "document/json_layout.h"
#include "document/map_document.h"
#include "map/map.h"
#include "platform/sources/postgres_source.h"
#include "platform/store/feature_store.h"
#include "platform/store/sql_text.h"
#include "quillet/error.h"
#include "quillet/gis/field.h"
#include "quillet/map_file.h"
#include "runtime/case.h"
#include "runtime/nearest_names.h"
#include "runtime/text_form.h"

namespace quillet {
namespace {

using document::Json;

constexpr const char* kAllOtherValues = "<all other values>";
constexpr const char* kMethods = "unique, quantile, equal, jenks, pretty, stddev";

runtime::Error DataError(const LayerFromData& layer, const std::string& what) {
  return runtime::Error::Platform(layer.data.string() + ": " + what);
}

// The field's values that are not null, with the layer's and the field's names as the data
// spells them.
struct FieldValues {
  std::string layerName;
  std::string field;
  int32_t type = 0;
  std::vector<runtime::Variant> values;
  size_t nulls = 0;
};

FieldValues ReadField(const LayerFromData& layer) {
  platform::FeatureStore store;
  platform::CopyChoice copy;
  copy.fields = std::vector<std::string>{layer.field};
  std::shared_ptr<platform::PgConnection> server;
  const map::SourceEntry entry{layer.data.string(), layer.data.string(), layer.sourceLayer};
  const auto source = map::OpenSource(store, entry, "", {}, copy, &server);

  const auto& table = *source.table;
  const int32_t index = table.FindField(layer.field);
  std::vector<std::string> names;
  for (const auto& field : table.FieldList().Definitions())
    names.push_back(field.name);
  if (index < 0)
    throw DataError(layer, "the layer " + source.layerName + " has no field " + layer.field + " (" +
                               runtime::FieldsNear(layer.field, names) + ")");
  FieldValues read;
  read.layerName = source.layerName;
  read.field = names[static_cast<size_t>(index)];
  read.type = table.Fields()->Field(index)->Type();
  const auto cursor = source.table->Search(nullptr, true);
  while (const auto row = cursor->NextRow()) {
    runtime::Variant value = row->Value(index);
    if (!value.IsNull() && !value.IsEmpty())
      read.values.push_back(std::move(value));
    else
      ++read.nulls;
  }
  return read;
}

// A whole number without a decimal point, as a person writes it.
Json NumberJson(double number) {
  if (std::trunc(number) == number && std::fabs(number) < 9.0e15)
    return static_cast<int64_t>(number);
  return number;
}

Json ValueJson(const runtime::Variant& value) {
  if (value.IsString()) return value.AsString();
  return NumberJson(value.NumericValue());
}

std::string ValueLabel(const runtime::Variant& value) {
  if (value.IsString()) return value.AsString();
  if (value.IsNumber()) return platform::NumberLiteral(value.NumericValue());
  return runtime::ToText(value, runtime::Locale::EnUs());
}

Json UniqueValueRenderer(const LayerFromData& layer, const FieldValues& read) {
  const bool numbers = gis::IsNumericFieldType(read.type);
  // One class per value, numbers in numeric order, texts in the order of their code points.
  std::map<double, runtime::Variant> byNumber;
  std::map<std::string, runtime::Variant> byText;
  for (const auto& value : read.values) {
    if (numbers)
      byNumber.emplace(value.NumericValue(), value);
    else
      byText.emplace(ValueLabel(value), value);
  }
  Json classes = Json::array();
  const auto add = [&](const runtime::Variant& value) {
    classes.push_back({{"values", Json::array({ValueJson(value)})}, {"label", ValueLabel(value)}});
  };
  for (const auto& [number, value] : byNumber)
    add(value);
  const std::string* previous = nullptr;
  for (const auto& [text, value] : byText) {
    // A map document refuses such values: labels key their classes without regard to case.
    if (previous && runtime::EqualsIgnoreCase(*previous, text))
      throw DataError(layer, "the values \"" + *previous + "\" and \"" + text + "\" of " +
                                 read.field +
                                 " differ only in letter case, which the labels cannot "
                                 "tell apart; make them one value in the data first");
    previous = &text;
    add(value);
  }
  return {{"kind", "uniqueValue"},
          {"fields", Json::array({read.field})},
          {"classes", std::move(classes)},
          {"default", {{"label", kAllOtherValues}}}};
}

Json ClassBreaksRenderer(const LayerFromData& layer, const FieldValues& read) {
  if (!gis::IsNumericFieldType(read.type))
    throw DataError(layer, "the field " + read.field + " is not numeric; --classify " +
                               layer.classify + " needs numbers (unique classifies any field)");
  if (read.values.empty())
    throw DataError(layer, "the field " + read.field + " has no values to classify");
  std::vector<double> values;
  for (const auto& value : read.values)
    values.push_back(value.NumericValue());
  // Equal intervals and pretty breaks span the values; the methods that read every value read
  // a null as 0, as QGIS reads it, so that the breaks are QGIS's.
  if (layer.classify == "quantile" || layer.classify == "jenks" || layer.classify == "stddev")
    values.insert(values.end(), read.nulls, 0.0);
  const auto [least, greatest] = std::minmax_element(values.begin(), values.end());
  const double minimum = *least;
  const double maximum = *greatest;
  const int classes = layer.classes;
  double mean = 0;
  double deviation = 0;
  std::vector<double> breaks;
  if (layer.classify == "quantile") breaks = classify::QuantileBreaks(values, classes);
  if (layer.classify == "equal") breaks = classify::EqualIntervalBreaks(minimum, maximum, classes);
  if (layer.classify == "jenks") breaks = classify::JenksBreaks(values, classes);
  if (layer.classify == "pretty") breaks = classify::PrettyBreaks(minimum, maximum, classes);
  if (layer.classify == "stddev")
    breaks = classify::StandardDeviationBreaks(values, classes, mean, deviation);

  Json list = Json::array();
  double lower = minimum;
  for (size_t i = 0; i < breaks.size(); ++i) {
    // Equal breaks (many equal values) would make empty classes, which a map refuses.
    if (i > 0 && !(breaks[i] > breaks[i - 1])) continue;
    std::string label = classify::RangeLabel(lower, breaks[i]);
    if (layer.classify == "stddev") {
      const auto deviations = [&](double at) {
        return classify::DeviationsLabel((at - mean) / deviation);
      };
      label = i == 0                   ? "< " + deviations(breaks[i])
              : i + 1 == breaks.size() ? "\u2265 " + deviations(lower)
                                       : deviations(lower) + " - " + deviations(breaks[i]);
    }
    list.push_back({{"break", NumberJson(breaks[i])}, {"label", label}});
    lower = breaks[i];
  }
  return {{"kind", "classBreaks"},
          {"field", read.field},
          {"minimumBreak", NumberJson(minimum)},
          {"classes", std::move(list)}};
}

}  // namespace

std::string MapDocumentWithLayer(const LayerFromData& layer, const std::filesystem::path& map) {
  namespace fs = std::filesystem;
  const std::vector<std::string> known = {"unique", "quantile", "equal",
                                          "jenks",  "pretty",   "stddev"};
  if (std::find(known.begin(), known.end(), layer.classify) == known.end())
    throw runtime::Error::Platform("--classify " + layer.classify +
                                   ": unknown method (methods: " + std::string(kMethods) + ")");
  if (layer.classes < 1 || layer.classes > 999)
    throw runtime::Error::Platform("--classes " + std::to_string(layer.classes) +
                                   ": give 1 to 999 classes");
  const std::string extension = runtime::LCase(map.extension().string());
  if (extension == ".qgs" || extension == ".qgz" || extension == ".qml")
    throw runtime::Error::Platform(map.string() +
                                   ": quillet init writes map documents (JSON), not QGIS files");

  const FieldValues read = ReadField(layer);
  Json renderer = layer.classify == "unique" ? UniqueValueRenderer(layer, read)
                                             : ClassBreaksRenderer(layer, read);
  // The data path as the map document reads it: from the map's folder; a server by its
  // connection.
  std::string path = layer.data.string();
  if (!map.empty() && fs::exists(layer.data) && layer.data.is_relative()) {
    const fs::path relative =
        fs::relative(fs::absolute(layer.data), fs::absolute(map).parent_path());
    if (!relative.empty()) path = relative.generic_string();
  }
  const char* key = platform::IsPostgresSource(path) ? "connection" : "path";
  Json entry = {{"name", layer.name.empty() ? read.layerName : layer.name},
                {"source", {{key, path}, {"layer", read.layerName}}},
                {"renderer", std::move(renderer)}};

  std::error_code missing;
  if (map.empty() || !fs::exists(map, missing)) {
    const Json created = {{"quillet", 1}, {"layers", Json::array({std::move(entry)})}};
    return document::LaidOut(created, "", "  ") + "\n";
  }
  const std::string text = map::ReadWholeFile(map, "map document");
  const auto existing = document::MapDocument::Parse(text, map);
  const std::string name = entry["name"].get<std::string>();
  for (const auto& other : existing.Layers())
    if (other.name == name)
      throw runtime::Error::Platform(map.string() + ": a layer is named \"" + name +
                                     "\" already; give the new one another with --name");
  const document::JsonLayout layout(text);
  const std::string extended =
      document::ApplyEdits(text, {layout.Append("/layers", std::move(entry))});
  document::MapDocument::Parse(extended, map);  // what it writes, it reads
  return extended;
}

}  // namespace quillet
