#pragma once

#include <string>

#include "quillet/gis/unknown.h"

namespace quillet::gis {

/// The name of a layer's data source and the category of its format ("Shapefile",
/// "Personal Geodatabase", "ESRI Shapefile", "GeoPackage", ...).
class DatasetName : public virtual Unknown {
 public:
  virtual std::string Name() const = 0;
  virtual std::string Category() const = 0;
};

}  // namespace quillet::gis
