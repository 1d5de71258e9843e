#pragma once

#include <string>
#include <utility>

#include "quillet/gis/renderer.h"

namespace quillet::platform {

/// A renderer of a kind that the component has no role for (proportional symbols, a QGIS
/// rule-based or heatmap renderer): no label, values, breaks or class list.
class ForeignRenderer : public virtual gis::FeatureRenderer {
 public:
  explicit ForeignRenderer(std::string kind) : mKind(std::move(kind)) {}
  /// The kind as the other system names it.
  const std::string& Kind() const { return mKind; }

 private:
  std::string mKind;
};

}  // namespace quillet::platform
