// quillet-legend <gpkg> <layer> <field>
//
// Opens a layer of a GeoPackage, gives it a unique value renderer with one class per distinct
// value of the field (sorted, labelled by the value) and a default class, and prints each
// legend entry: its index, its label, its where clause and how many features that selects.

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gis/layer.h"
#include "platform/feature_store.h"
#include "platform/geopackage.h"
#include "platform/query_filter.h"
#include "platform/sql_text.h"
#include "platform/stored_value.h"
#include "platform/unique_value_renderer.h"
#include "runtime/error.h"
#include "runtime/text_form.h"

namespace {

using namespace quillet;

struct DistinctValue {
  runtime::Variant value;
  std::string text;   // as the renderer lists it, exact enough to compare equal in SQL
  std::string label;  // as a legend shows it
};

std::string ValueText(const runtime::Variant& value) {
  switch (value.Kind()) {
    case runtime::VariantKind::kString:
      return value.AsString();
    case runtime::VariantKind::kDate:
      return platform::FormatStoredDate(value.AsDateSerial());
    default:
      return platform::NumberLiteral(value.NumericValue());
  }
}

// Numbers in numeric order, everything else by its text.
bool Before(const DistinctValue& a, const DistinctValue& b) {
  if (a.value.IsNumber() && b.value.IsNumber())
    return a.value.NumericValue() < b.value.NumericValue();
  return a.text < b.text;
}

std::vector<DistinctValue> DistinctValues(gis::Table& table, int32_t field) {
  std::vector<DistinctValue> values;
  const auto cursor = table.Search(nullptr, true);
  while (const auto row = cursor->NextRow()) {
    const runtime::Variant value = row->Value(field);
    if (value.IsNull() || value.IsEmpty()) continue;
    DistinctValue entry{value, ValueText(value), runtime::ToText(value)};
    const bool known = std::any_of(values.begin(), values.end(),
                                   [&](const DistinctValue& v) { return v.text == entry.text; });
    if (!known) values.push_back(std::move(entry));
  }
  std::sort(values.begin(), values.end(), Before);
  return values;
}

int32_t CountSelected(gis::Table& table, const std::string& whereClause) {
  const platform::QueryFilter filter(whereClause);
  const auto cursor = table.Search(&filter, true);
  int32_t count = 0;
  while (cursor->NextRow())
    ++count;
  return count;
}

int Run(const std::string& path, const std::string& layerName, const std::string& fieldName) {
  platform::FeatureStore store;
  const auto layer = platform::LoadGeoPackageLayer(store, path, layerName);
  const auto table = layer->Table();
  const int32_t field = table->FindField(fieldName);
  if (field < 0) {
    std::fprintf(stderr, "quillet-legend: The layer %s has no field %s\n", layerName.c_str(),
                 fieldName.c_str());
    return 1;
  }
  const std::string name = table->Fields()->Field(field)->Name();

  auto renderer = std::make_shared<platform::UniqueValueRenderer>(std::vector<std::string>{name});
  for (const auto& value : DistinctValues(*table, field))
    renderer->AddClass({value.text}, value.label);
  renderer->UseDefault("<all other values>");
  layer->SetRenderer(renderer);

  const auto classes = gis::Require<gis::RendererClasses>(layer->Renderer());
  std::printf("Legend of %s by %s: %d entries\n", layer->Name().c_str(), name.c_str(),
              classes->ClassCount());
  for (int32_t i = 0; i < classes->ClassCount(); ++i) {
    const std::string where = classes->WhereClause(i, *table);
    std::printf("%3d  %-24s  %s  => %d\n", i, classes->Class(i).c_str(), where.c_str(),
                CountSelected(*table, where));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: quillet-legend <gpkg> <layer> <field>\n");
    return 2;
  }
  try {
    return Run(argv[1], argv[2], argv[3]);
  } catch (const quillet::runtime::Error& error) {
    std::fprintf(stderr, "quillet-legend: %s\n", error.Description().c_str());
    return 1;
  }
}
