#pragma once

#include <cstdint>
#include <memory>

#include "quillet/gis/renderer.h"

namespace quillet::platform {

/// A main renderer that gives the legend its classes and a second one that varies the
/// symbols. Counts its legend rebuilds, so a caller can see that one happened.
class BivariateRenderer : public virtual gis::BivariateRenderer {
 public:
  BivariateRenderer(std::shared_ptr<gis::FeatureRenderer> mainRenderer,
                    std::shared_ptr<gis::FeatureRenderer> secondRenderer)
      : mMain(std::move(mainRenderer)), mSecond(std::move(secondRenderer)) {}

  std::shared_ptr<gis::FeatureRenderer> MainRenderer() const override { return mMain; }
  std::shared_ptr<gis::FeatureRenderer> SecondRenderer() const override { return mSecond; }
  void CreateLegend() override { ++mLegendBuildCount; }

  /// How many times `CreateLegend` ran.
  int32_t LegendBuildCount() const { return mLegendBuildCount; }

 private:
  std::shared_ptr<gis::FeatureRenderer> mMain;
  std::shared_ptr<gis::FeatureRenderer> mSecond;
  int32_t mLegendBuildCount = 0;
};

}  // namespace quillet::platform
