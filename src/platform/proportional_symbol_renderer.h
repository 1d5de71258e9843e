#pragma once

#include <string>

#include "gis/renderer.h"

namespace quillet::platform {

/// Symbols sized by a numeric field. A renderer kind with none of the roles the component
/// labels (no label, values, breaks or class list).
class ProportionalSymbolRenderer : public virtual gis::FeatureRenderer {
 public:
  explicit ProportionalSymbolRenderer(std::string field) : mField(std::move(field)) {}
  const std::string& Field() const { return mField; }

 private:
  std::string mField;
};

}  // namespace quillet::platform
