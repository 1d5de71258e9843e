#pragma once

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/error_handler.h"
#include "core/quillet_state.h"
#include "quillet/gis/layer.h"
#include "quillet/label_collection.h"
#include "quillet/variant.h"

namespace quillet {

/// What a label maker hands back to the object, which alone changes its state.
struct LabelRun {
  /// Whether the maker succeeded; when not, `Message` says why.
  bool Made = false;
  std::string Message;
  /// The new labels, one per legend entry in legend order; null when the maker failed before
  /// it began them (the object keeps its labels then).
  std::shared_ptr<LabelCollection> Labels;
  /// Whether a class selected no feature and was left out, even when the run failed later.
  bool SkippedLegendItems = false;
  /// The sample label, in sample mode.
  std::optional<runtime::Variant> SampleLabel;
  /// The legend class whose features are being queried ("the value \"Asia\"", "all other
  /// values", "the class up to 1000"); "" outside a query.
  std::string FailedClass;
  /// For hosts, what made the run fail: the class that could not be queried and the error's
  /// own description, kept when an enclosing maker's message replaces `Message`.
  std::string Cause;
};

/// Runs a maker's `body` (which fills the run and returns whether it made the labels) under
/// its error handler: whatever it throws ends the run with the error's description, or
/// `fallback` when that is empty.
template <typename Body>
LabelRun RunLabelMaker(std::string_view fallback, Body&& body) {
  LabelRun run;
  try {
    run.Made = body(run);
  } catch (...) {
    run.Made = false;
    run.Message = DescriptionOf(std::current_exception());
    if (run.Cause.empty() && !run.Message.empty())
      run.Cause = run.FailedClass.empty() ? run.Message
                                          : "the features of " + run.FailedClass +
                                                " could not be queried: " + run.Message;
    if (run.Message.empty()) run.Message = fallback;
  }
  return run;
}

// The label makers, one per renderer kind. Each reads the parsed expression, the switches and
// the locale from the object's state, and never throws.

/// The single legend entry of a simple renderer; in sample mode (`pSampleOnly`) the label of
/// the first legend entry of any supported renderer, as `SampleLabel`, with no labels.
LabelRun MakeSimpleRendererLabel(const QuilletState& state,
                                 const std::shared_ptr<gis::Layer>& pLayer,
                                 const runtime::Variant& pSampleRate, bool pSampleOnly);

/// One label per class of a unique value renderer, the default class last.
LabelRun MakeUniqueRendererLabels(const QuilletState& state,
                                  const std::shared_ptr<gis::Layer>& pLayer);

/// One label per break of a class breaks renderer.
LabelRun MakeClassBreaksRendererLabels(const QuilletState& state,
                                       const std::shared_ptr<gis::Layer>& pLayer);

/// The labels of a bivariate renderer's main renderer.
LabelRun MakeBivariateRendererLabels(const QuilletState& state,
                                     const std::shared_ptr<gis::Layer>& pLayer);

}  // namespace quillet
