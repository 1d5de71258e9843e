#include "core/quillet_state.h"

namespace quillet {

LabelCollection& QuilletState::Labels() {
  if (!mLabels) mLabels = std::make_shared<LabelCollection>();
  return *mLabels;
}

LabelCollection& QuilletState::OriginalLabels() {
  if (!mOriginalLabels) mOriginalLabels = std::make_shared<LabelCollection>();
  return *mOriginalLabels;
}

}  // namespace quillet
