#include "legend/label_makers.h"

#include "labeler/error_handler.h"

namespace quillet {
namespace {

// The makers are not built yet: each takes its own error path with its fallback text.
bool NotBuilt(QuilletState& state, const char* fallback) {
  return UnderErrorHandler(state, fallback, []() -> bool { throw runtime::Error::Undescribed(); });
}

}  // namespace

bool MakeSimpleRendererLabel(QuilletState& state, const std::shared_ptr<gis::Layer>&,
                             const runtime::Variant&, bool) {
  return NotBuilt(state, "Unknown Error in MakeSimpleRendererLabel!");
}

bool MakeUniqueRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>&) {
  return NotBuilt(state, "Unknown Error in MakeUniqueRendererLabels!");
}

bool MakeClassBreaksRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>&) {
  return NotBuilt(state, "Unknown Error in MakeClassBreaksRendererLabels!");
}

bool MakeBivariateRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>&) {
  return NotBuilt(state, "Unknown Error in MakeBivariateRendererLabels!");
}

}  // namespace quillet
