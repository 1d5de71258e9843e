#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/builders/renderer_builders.h"
#include "platform/layers/feature_layer.h"
#include "platform/store/cell.h"
#include "platform/store/feature_store.h"
#include "platform/tables/feature_table.h"
#include "platform/tables/field.h"
#include "quillet/gis/renderer.h"

namespace quillet::platform {

/// A table of the store from a few rows, in one statement:
///   auto owners = TableBuilder(store, "owners")
///                     .Field("ID", gis::kFieldInteger).Field("NAME", gis::kFieldString)
///                     .Rows({{1, "Ann"}, {2, "Bob"}})
///                     .Build();
/// Unless a field of type 6 is declared, an object id field "OBJECTID" comes first and the
/// rows, which then leave it out, are numbered 1, 2, 3...
class TableBuilder {
 public:
  TableBuilder(FeatureStore& store, std::string name);
  TableBuilder& Field(std::string name, int32_t type);
  /// Rows of values in field order; may be called again to add more.
  TableBuilder& Rows(std::vector<std::vector<Cell>> rows);
  /// Creates the table and adds the rows.
  std::shared_ptr<FeatureTable> Build() const;

 private:
  FeatureStore& mStore;
  std::string mName;
  std::vector<FieldDefinition> mFields;
  std::vector<std::vector<Cell>> mRows;
};

/// A feature layer from a few rows, in one statement:
///   auto layer = LayerBuilder(store, "parcels")
///                    .Field("TYPE", gis::kFieldString).Field("POP", gis::kFieldInteger)
///                    .Rows({{"A", 10}, {"B", nullptr}})
///                    .Category("Shapefile")
///                    .Definition("POP > 10")
///                    .Renderer(UniqueValue("TYPE").Class({"A"}, "Type A").Default("Other"))
///                    .Build();
/// Defaults: data source named like the layer, category "In-Memory Store", a simple renderer
/// with an empty label, no definition, no join.
class LayerBuilder {
 public:
  LayerBuilder(FeatureStore& store, std::string name);
  LayerBuilder& Field(std::string name, int32_t type);
  LayerBuilder& Rows(std::vector<std::vector<Cell>> rows);
  /// The data source's category text ("Shapefile", "Personal Geodatabase", "GeoPackage"...).
  LayerBuilder& Category(std::string category);
  /// The data source's name.
  LayerBuilder& DataSource(std::string name);
  LayerBuilder& Definition(std::string expression);
  LayerBuilder& DefinitionSelection(std::vector<int64_t> objectIds);
  LayerBuilder& Renderer(const RendererBuilder& renderer);
  LayerBuilder& Renderer(std::shared_ptr<gis::FeatureRenderer> renderer);
  /// Joins `joined` where the layer's `ownKey` equals its `joinedKey`.
  LayerBuilder& Join(std::shared_ptr<FeatureTable> joined, std::string ownKey,
                     std::string joinedKey);
  std::shared_ptr<FeatureLayer> Build() const;

 private:
  struct JoinTo {
    std::shared_ptr<FeatureTable> table;
    std::string ownKey;
    std::string joinedKey;
  };

  std::string mName;
  TableBuilder mTable;
  std::string mDataSource;
  std::string mCategory = "In-Memory Store";
  std::string mDefinition;
  std::optional<std::vector<int64_t>> mDefinitionSelection;
  std::shared_ptr<gis::FeatureRenderer> mRenderer;
  std::optional<JoinTo> mJoin;
};

}  // namespace quillet::platform
