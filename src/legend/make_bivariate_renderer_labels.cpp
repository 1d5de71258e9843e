#include "legend/label_makers.h"

namespace quillet {

LabelRun MakeBivariateRendererLabels(const QuilletState& state,
                                     const std::shared_ptr<gis::Layer>& pLayer) {
  return RunLabelMaker("Unknown Error in MakeBivariateRendererLabels!", [&](LabelRun& run) {
    const auto renderer = gis::Require<gis::GeoFeatureLayer>(pLayer)->Renderer();
    const auto main = gis::Require<gis::BivariateRenderer>(renderer)->MainRenderer();
    if (gis::Is<gis::UniqueValueRenderer>(main)) {
      run = MakeUniqueRendererLabels(state, pLayer);
    } else if (gis::Is<gis::ClassBreaksRenderer>(main)) {
      run = MakeClassBreaksRendererLabels(state, pLayer);
    } else {
      // Refused before any maker ran: this message is not replaced by the fallback.
      run.Message = "Unsupported primary symbol renderer type on Multi-Attribute Renderer!";
      return false;
    }
    // The called maker has handled its own error; nothing is pending, so the fallback text
    // stands in for its message.
    if (!run.Made) throw runtime::Error::Undescribed();
    return true;
  });
}

}  // namespace quillet
