#pragma once

#include <memory>

#include "gis/layer.h"
#include "labeler/quillet_state.h"
#include "runtime/variant.h"

namespace quillet {

// The label makers, one per renderer kind. Each fills `mLabels` from `mExpressionParts`, one
// label per legend entry in legend order, and returns true; on failure it stores its text in
// `mMessage`, sets `mLabelsValid` to false and returns false. None throws or shows a box.

/// The single legend entry of a simple renderer; in sample mode (`pSampleOnly`) the label of
/// the first legend entry of any supported renderer goes to `mSampleLabel` instead.
bool MakeSimpleRendererLabel(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer,
                             const runtime::Variant& pSampleRate, bool pSampleOnly);

/// One label per class of a unique value renderer, the default class last.
bool MakeUniqueRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer);

/// One label per break of a class breaks renderer.
bool MakeClassBreaksRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer);

/// The labels of a bivariate renderer's main renderer.
bool MakeBivariateRendererLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer);

}  // namespace quillet
