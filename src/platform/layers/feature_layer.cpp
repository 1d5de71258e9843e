#include "platform/layers/feature_layer.h"

#include "platform/tables/selection_set.h"

namespace quillet::platform {

FeatureLayer::FeatureLayer(std::string name, std::shared_ptr<FeatureTable> featureClass,
                           std::shared_ptr<gis::DatasetName> dataSourceName,
                           std::shared_ptr<gis::FeatureRenderer> renderer)
    : mName(std::move(name)),
      mFeatureClass(std::move(featureClass)),
      mDataSourceName(std::move(dataSourceName)),
      mRenderer(std::move(renderer)) {}

void FeatureLayer::SetRenderer(std::shared_ptr<gis::FeatureRenderer> renderer) {
  mRenderer = std::move(renderer);
}

std::shared_ptr<gis::Table> FeatureLayer::DisplayedTable() const {
  if (mJoin) return mJoin;
  return mFeatureClass;
}

std::shared_ptr<gis::SelectionSet> FeatureLayer::DefinitionSelectionSet() const {
  if (!mDefinitionSelection) return nullptr;
  std::shared_ptr<SqlTable> table = mFeatureClass;
  if (mJoin) table = mJoin;
  return std::make_shared<SelectionSet>(table, *mDefinitionSelection);
}

void FeatureLayer::SetDefinitionExpression(std::string expression) {
  mDefinitionExpression = std::move(expression);
}

void FeatureLayer::SetDefinitionSelection(std::optional<std::vector<int64_t>> objectIds) {
  mDefinitionSelection = std::move(objectIds);
}

void FeatureLayer::Join(std::shared_ptr<FeatureTable> joined, const std::string& ownKey,
                        const std::string& joinedKey, JoinMatch match) {
  mJoin = std::make_shared<JoinedTable>(mFeatureClass, ownKey, std::move(joined), joinedKey, match);
}

}  // namespace quillet::platform
