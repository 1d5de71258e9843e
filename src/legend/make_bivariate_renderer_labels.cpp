#include "labeler/error_handler.h"
#include "legend/label_makers.h"

namespace quillet {

bool MakeBivariateRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer) {
  return UnderErrorHandler(state, "Unknown Error in MakeBivariateRendererLabels!", [&] {
    const auto renderer = gis::Require<gis::GeoFeatureLayer>(pLayer)->Renderer();
    const auto main = gis::Require<gis::BivariateRenderer>(renderer)->MainRenderer();
    bool made = false;
    if (gis::Is<gis::UniqueValueRenderer>(main)) {
      made = MakeUniqueRendererLabels(state, pLayer);
    } else if (gis::Is<gis::ClassBreaksRenderer>(main)) {
      made = MakeClassBreaksRendererLabels(state, pLayer);
    } else {
      // Refused before any maker ran: this message is not replaced by the fallback.
      state.mMessage = "Unsupported primary symbol renderer type on Multi-Attribute Renderer!";
      state.mLabelsValid = false;
      return false;
    }
    state.mLabelsValid = made;
    // The called maker has handled its own error; nothing is pending, so the fallback text
    // stands in for its message.
    if (!made) throw runtime::Error::Undescribed();
    return true;
  });
}

}  // namespace quillet
