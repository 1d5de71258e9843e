#pragma once

#include <string>

#include "quillet/gis/dataset_name.h"

namespace quillet::platform {

/// The name of a layer's data source and its format's category text ("Shapefile",
/// "Personal Geodatabase", "ESRI Shapefile", "GeoPackage", ...).
class DatasetName : public virtual gis::DatasetName {
 public:
  DatasetName(std::string name, std::string category)
      : mName(std::move(name)), mCategory(std::move(category)) {}
  std::string Name() const override { return mName; }
  std::string Category() const override { return mCategory; }

 private:
  std::string mName;
  std::string mCategory;
};

}  // namespace quillet::platform
