#include "core/quillet_state.h"

namespace quillet {

std::shared_ptr<gis::QueryFilter> QuilletState::CreateQueryFilter() const {
  auto filter = platform->CreateQueryFilter();
  // Breaks go into queries in the object's locale, so the platform must read them in it.
  if (auto localized = gis::As<gis::LocalizedQueryFilter>(filter))
    localized->SetNumberLocale(locale);
  return filter;
}

LabelCollection& QuilletState::Labels() {
  if (!mLabels) mLabels = std::make_shared<LabelCollection>();
  return *mLabels;
}

LabelCollection& QuilletState::OriginalLabels() {
  if (!mOriginalLabels) mOriginalLabels = std::make_shared<LabelCollection>();
  return *mOriginalLabels;
}

}  // namespace quillet
