#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/tables/feature_table.h"
#include "platform/tables/joined_table.h"
#include "quillet/gis/layer.h"

namespace quillet::platform {

/// A map layer of features in the store. It offers every layer role: geo-feature layer (its
/// renderer), feature layer (its feature table), data layer (its data source's name and
/// category), display table (the feature table, or a join of it with a second table) and
/// feature-layer definition (a where clause and a set of object ids that restrict it).
///
/// The definition only describes the layer: searches of its tables read every row, and the
/// component joins the definition expression to its own queries where it chooses to.
class FeatureLayer : public virtual gis::Layer,
                     public virtual gis::GeoFeatureLayer,
                     public virtual gis::FeatureLayer,
                     public virtual gis::DataLayer,
                     public virtual gis::DisplayTable,
                     public virtual gis::FeatureLayerDefinition {
 public:
  FeatureLayer(std::string name, std::shared_ptr<FeatureTable> featureClass,
               std::shared_ptr<gis::DatasetName> dataSourceName,
               std::shared_ptr<gis::FeatureRenderer> renderer);

  std::string Name() const override { return mName; }
  std::shared_ptr<gis::FeatureRenderer> Renderer() const override { return mRenderer; }
  void SetRenderer(std::shared_ptr<gis::FeatureRenderer> renderer) override;
  std::shared_ptr<gis::FeatureClass> FeatureClass() const override { return mFeatureClass; }
  std::shared_ptr<gis::DatasetName> DataSourceName() const override { return mDataSourceName; }
  /// The join when there is one, else the feature table.
  std::shared_ptr<gis::Table> DisplayedTable() const override;
  std::string DefinitionExpression() const override { return mDefinitionExpression; }
  /// A set over the displayed table, so that its searches take the same (qualified) where
  /// clauses and number fields as that table; null when the layer has no definition set.
  std::shared_ptr<gis::SelectionSet> DefinitionSelectionSet() const override;

  void SetDefinitionExpression(std::string expression);
  /// Restricts the layer to these object ids; `std::nullopt` removes the restriction.
  void SetDefinitionSelection(std::optional<std::vector<int64_t>> objectIds);
  /// Joins `joined` to the feature table where `ownKey` equals `joinedKey`, one joined row to
  /// each own row (`match` says which when several match).
  void Join(std::shared_ptr<FeatureTable> joined, const std::string& ownKey,
            const std::string& joinedKey, JoinMatch match = JoinMatch::kFirst);
  void RemoveJoin() { mJoin.reset(); }

  const std::shared_ptr<FeatureTable>& Table() const { return mFeatureClass; }

 private:
  std::string mName;
  std::shared_ptr<FeatureTable> mFeatureClass;
  std::shared_ptr<gis::DatasetName> mDataSourceName;
  std::shared_ptr<gis::FeatureRenderer> mRenderer;
  std::shared_ptr<JoinedTable> mJoin;
  std::string mDefinitionExpression;
  std::optional<std::vector<int64_t>> mDefinitionSelection;
};

}  // namespace quillet::platform
