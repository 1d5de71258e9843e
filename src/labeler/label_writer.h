#pragma once

#include <memory>

#include "core/quillet_state.h"
#include "quillet/gis/layer.h"

namespace quillet {

/// Writes `mLabels` into the layer's renderer, first recording the renderer's labels in
/// `mOriginalLabels` while that is empty. Entries equal to "$$SKIPPED" (any case) are left
/// alone; the "all other values" label is written only when `mUpdateAllOtherValues` is true.
/// Throws on failure (a missing entry, a layer without a renderer).
void WriteLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer);

/// Writes `mOriginalLabels` back into the layer's renderer, skipped entries and the default
/// class included. Throws on failure (nothing recorded yet, a layer without a renderer).
void RestoreLabels(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer);

}  // namespace quillet
