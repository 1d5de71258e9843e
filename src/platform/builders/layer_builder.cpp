#include "platform/builders/layer_builder.h"

#include <algorithm>

#include "platform/layers/dataset_name.h"
#include "platform/renderers/simple_renderer.h"

namespace quillet::platform {

TableBuilder::TableBuilder(FeatureStore& store, std::string name)
    : mStore(store), mName(std::move(name)) {}

TableBuilder& TableBuilder::Field(std::string name, int32_t type) {
  mFields.push_back({std::move(name), type});
  return *this;
}

TableBuilder& TableBuilder::Rows(std::vector<std::vector<Cell>> rows) {
  for (auto& row : rows)
    mRows.push_back(std::move(row));
  return *this;
}

std::shared_ptr<FeatureTable> TableBuilder::Build() const {
  const bool ownId = std::any_of(mFields.begin(), mFields.end(), [](const FieldDefinition& f) {
    return f.type == gis::kFieldObjectId;
  });
  if (ownId) {
    auto table = mStore.CreateTable(mName, mFields);
    table->Insert(mRows);
    return table;
  }
  std::vector<FieldDefinition> fields{{"OBJECTID", gis::kFieldObjectId}};
  fields.insert(fields.end(), mFields.begin(), mFields.end());
  std::vector<std::vector<Cell>> rows;
  for (const auto& row : mRows) {
    rows.emplace_back(1, Cell(nullptr));
    rows.back().insert(rows.back().end(), row.begin(), row.end());
  }
  auto table = mStore.CreateTable(mName, fields);
  table->Insert(rows);
  return table;
}

LayerBuilder::LayerBuilder(FeatureStore& store, std::string name)
    : mName(name), mTable(store, name), mDataSource(name) {}

LayerBuilder& LayerBuilder::Field(std::string name, int32_t type) {
  mTable.Field(std::move(name), type);
  return *this;
}

LayerBuilder& LayerBuilder::Rows(std::vector<std::vector<Cell>> rows) {
  mTable.Rows(std::move(rows));
  return *this;
}

LayerBuilder& LayerBuilder::Category(std::string category) {
  mCategory = std::move(category);
  return *this;
}

LayerBuilder& LayerBuilder::DataSource(std::string name) {
  mDataSource = std::move(name);
  return *this;
}

LayerBuilder& LayerBuilder::Definition(std::string expression) {
  mDefinition = std::move(expression);
  return *this;
}

LayerBuilder& LayerBuilder::DefinitionSelection(std::vector<int64_t> objectIds) {
  mDefinitionSelection = std::move(objectIds);
  return *this;
}

LayerBuilder& LayerBuilder::Renderer(const RendererBuilder& renderer) {
  mRenderer = renderer.Build();
  return *this;
}

LayerBuilder& LayerBuilder::Renderer(std::shared_ptr<gis::FeatureRenderer> renderer) {
  mRenderer = std::move(renderer);
  return *this;
}

LayerBuilder& LayerBuilder::Join(std::shared_ptr<FeatureTable> joined, std::string ownKey,
                                 std::string joinedKey) {
  mJoin = JoinTo{std::move(joined), std::move(ownKey), std::move(joinedKey)};
  return *this;
}

std::shared_ptr<FeatureLayer> LayerBuilder::Build() const {
  auto layer = std::make_shared<FeatureLayer>(
      mName, mTable.Build(), std::make_shared<DatasetName>(mDataSource, mCategory),
      mRenderer ? mRenderer : std::make_shared<SimpleRenderer>());
  layer->SetDefinitionExpression(mDefinition);
  layer->SetDefinitionSelection(mDefinitionSelection);
  if (mJoin) layer->Join(mJoin->table, mJoin->ownKey, mJoin->joinedKey);
  return layer;
}

}  // namespace quillet::platform
