#pragma once

#include <string>

#include "core/quillet_state.h"
#include "quillet/gis/layer.h"

namespace quillet {

/// Decides whether a label expression can label a layer: checks the layer and its renderer,
/// records the join state and the field-name delimiters, parses the expression and checks
/// every field reference against the layer's table, leaving the parsed expression in the state.
/// On request makes the sample label and shows it, with the labelling instructions. Never
/// throws; on failure `mMessage` says why.
bool VerifyExpression(QuilletState& state, const std::shared_ptr<gis::Layer>& pLayer,
                      std::string& pExpression, bool pMakeSampleLabel,
                      bool pShowLabelingInstructions);

}  // namespace quillet
