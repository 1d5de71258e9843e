#pragma once

#include <memory>
#include <string>

#include "quillet/gis/dataset_name.h"
#include "quillet/gis/renderer.h"
#include "quillet/gis/table.h"
#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// A map layer as the host hands it in. What else it can do is found by type tests.
class Layer : public virtual Unknown {
 public:
  virtual std::string Name() const = 0;
};

/// A layer drawn by a feature renderer, which draws its legend too.
class GeoFeatureLayer : public virtual Unknown {
 public:
  virtual std::shared_ptr<FeatureRenderer> Renderer() const = 0;
  virtual void SetRenderer(std::shared_ptr<FeatureRenderer> renderer) = 0;
};

/// A layer of features stored in a feature class.
class FeatureLayer : public virtual Unknown {
 public:
  virtual std::shared_ptr<gis::FeatureClass> FeatureClass() const = 0;
};

/// A layer that knows the name and category of its data source.
class DataLayer : public virtual Unknown {
 public:
  virtual std::shared_ptr<DatasetName> DataSourceName() const = 0;
};

/// A layer whose attribute table, as shown, may join other tables to its own.
class DisplayTable : public virtual Unknown {
 public:
  /// The table as displayed: the feature class itself, or a `JoinedTable`.
  virtual std::shared_ptr<Table> DisplayedTable() const = 0;
};

/// The layer's own restriction of its features: a where clause and a set of object ids.
class FeatureLayerDefinition : public virtual Unknown {
 public:
  /// "" when the layer has none.
  virtual std::string DefinitionExpression() const = 0;
  /// Null when the layer has none.
  virtual std::shared_ptr<SelectionSet> DefinitionSelectionSet() const = 0;
};

}  // namespace quillet::gis
