#include "quillet/quillet.h"

#include <utility>

#include "core/error_handler.h"
#include "core/quillet_state.h"
#include "labeler/label_writer.h"
#include "labeler/verify_expression.h"
#include "legend/label_makers.h"
#include "runtime/text_form.h"

namespace quillet {

using runtime::ComBool;
using runtime::FromComBool;
using runtime::ToComBool;

Quillet::Quillet(std::shared_ptr<gis::ObjectFactory> platform,
                 std::shared_ptr<runtime::MessageSink> messages)
    : mState(std::make_unique<QuilletState>()) {
  mState->platform = std::move(platform);
  mState->messages =
      messages ? std::move(messages) : std::make_shared<runtime::SilentMessageSink>();
}

Quillet::~Quillet() = default;

ComBool Quillet::ShowMessages() const {
  return mState->mShowMessages;
}
void Quillet::ShowMessages(const ComBool& DisplayMessages) {
  mState->mShowMessages = DisplayMessages;
}

ComBool Quillet::ApplyDefinitionQuery() const {
  return mState->mApplyDefinitionQuery;
}
void Quillet::ApplyDefinitionQuery(const ComBool& ApplyDefinition) {
  mState->mApplyDefinitionQuery = ApplyDefinition;
}

ComBool Quillet::ApplySelectionSet() const {
  return mState->mApplySelectionSet;
}
void Quillet::ApplySelectionSet(const ComBool& ApplySelection) {
  mState->mApplySelectionSet = ApplySelection;
}

std::shared_ptr<LabelCollection> Quillet::Labels() {
  if (!mState->mLabelsValid) return std::make_shared<LabelCollection>();
  mState->Labels();
  return mState->mLabels;
}

std::shared_ptr<LabelCollection> Quillet::OriginalLabels() {
  if (!mState->mLabelsValid) return std::make_shared<LabelCollection>();
  mState->OriginalLabels();
  return mState->mOriginalLabels;
}

std::string Quillet::Message() const {
  return mState->mMessage;
}

ComBool Quillet::SkippedLegendItems() const {
  return ToComBool(mState->mSkippedLegendItems);
}

ComBool Quillet::UpdateAllOtherValues() const {
  return mState->mUpdateAllOtherValues;
}
void Quillet::UpdateAllOtherValues(const ComBool& AllOtherValues) {
  mState->mUpdateAllOtherValues = AllOtherValues;
}

const runtime::Locale& Quillet::Locale() const {
  return mState->locale;
}
void Quillet::SetLocale(runtime::Locale locale) {
  mState->locale = std::move(locale);
}

std::string Quillet::SampleLabel() const {
  return runtime::ToText(mState->mSampleLabel, mState->locale);
}

std::string Quillet::Cause() const {
  return mState->cause;
}

int16_t Quillet::WrapTextIfLongerThan() const {
  return mState->mWrapLength;
}
void Quillet::WrapTextIfLongerThan(const int16_t& WrapLength) {
  mState->mWrapLength = WrapLength;
}

ComBool Quillet::VerifyExpression(const LayerPtr& pLayer, std::string& pExpression,
                                  const ComBool& pMakeSampleLabel,
                                  const ComBool& pShowLabelingInstructions) {
  mState->cause.clear();
  return ToComBool(quillet::VerifyExpression(*mState, pLayer, pExpression,
                                             FromComBool(pMakeSampleLabel),
                                             FromComBool(pShowLabelingInstructions)));
}

ComBool Quillet::MakeLabels(const LayerPtr& pLayer, std::string& pExpression) {
  mState->cause.clear();
  if (!FromComBool(VerifyExpression(pLayer, pExpression, runtime::kComFalse, runtime::kComFalse)))
    return runtime::kComFalse;
  QuilletState& state = *mState;
  const bool made = UnderErrorHandler(state, "Unknown Error in MakeLabels!", [&] {
    const auto renderer = gis::Require<gis::GeoFeatureLayer>(pLayer)->Renderer();
    LabelRun run;
    if (gis::Is<gis::SimpleRenderer>(renderer)) {
      run = MakeSimpleRendererLabel(state, pLayer, runtime::Variant::Long(-1), false);
    } else if (gis::Is<gis::UniqueValueRenderer>(renderer)) {
      run = MakeUniqueRendererLabels(state, pLayer);
    } else if (gis::Is<gis::ClassBreaksRenderer>(renderer)) {
      run = MakeClassBreaksRendererLabels(state, pLayer);
    } else if (gis::Is<gis::BivariateRenderer>(renderer)) {
      run = MakeBivariateRendererLabels(state, pLayer);
    }
    state.mSkippedLegendItems = state.mSkippedLegendItems || run.SkippedLegendItems;
    if (run.Labels) state.mLabels = run.Labels;
    state.mLabelsValid = run.Made;
    if (!run.Made) state.cause = run.Cause;
    // A maker that failed has handled its own error: nothing is pending, so the fallback
    // text replaces its message.
    if (!run.Made) throw runtime::Error::Undescribed();
    return true;
  });
  if (!made) ShowFailureBox(state);
  return ToComBool(made);
}

ComBool Quillet::SetLabels(const LayerPtr& pLayer) {
  QuilletState& state = *mState;
  bool written = false;
  try {
    WriteLabels(state, pLayer);
    written = true;
  } catch (...) {
    // This method's message carries the failing statement's line number after a blank.
    const auto failure = std::current_exception();
    std::string description = DescriptionOf(failure);
    if (!description.empty()) description += " " + std::to_string(LineOf(failure));
    Fail(state, std::move(description), "Unknown Error in SetLabels!");
  }
  if (!written) ShowFailureBox(state);
  return ToComBool(written);
}

ComBool Quillet::ResetLabels(const LayerPtr& pLayer) {
  QuilletState& state = *mState;
  const bool written = UnderErrorHandler(state, "Unknown Error in ResetLabels!", [&] {
    RestoreLabels(state, pLayer);
    return true;
  });
  if (!written) ShowFailureBox(state);
  return ToComBool(written);
}

}  // namespace quillet
