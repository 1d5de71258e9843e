#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "quillet/com_bool.h"
#include "quillet/gis/layer.h"
#include "quillet/gis/object_factory.h"
#include "quillet/label_collection.h"
#include "quillet/locale.h"
#include "quillet/message_sink.h"

namespace quillet {

struct QuilletState;

/// A layer handed to the component.
using LayerPtr = std::shared_ptr<gis::Layer>;

/// The default interface of `Quillet` (`_Quillet` in the component's type library; C++
/// reserves names that begin with an underscore and a capital, so the underscore moves to
/// the end). Its virtual functions stand in the interface's slot order, 1 to 18; a property
/// is a pair of functions of one name, Get then Let, the Let parameter named as in the type
/// library. Booleans are 16-bit: -1 true, 0 false, any non-zero value read as true.
class Quillet_ {
 public:
  virtual ~Quillet_() = default;

  /// 1, 2: whether failures and the sample label are shown in message boxes. Default false.
  virtual runtime::ComBool ShowMessages() const = 0;
  virtual void ShowMessages(const runtime::ComBool& DisplayMessages) = 0;
  /// 3, 4: whether the layer's definition expression restricts every legend entry. Default true.
  virtual runtime::ComBool ApplyDefinitionQuery() const = 0;
  virtual void ApplyDefinitionQuery(const runtime::ComBool& ApplyDefinition) = 0;
  /// 5, 6: stored and read back; label runs read the same features whatever its value.
  /// Default false.
  virtual runtime::ComBool ApplySelectionSet() const = 0;
  virtual void ApplySelectionSet(const runtime::ComBool& ApplySelection) = 0;
  /// 7: the labels of the last label run: the object's own live collection while the last
  /// verification or run succeeded (created empty on first read), else a new empty one.
  virtual std::shared_ptr<LabelCollection> Labels() = 0;
  /// 8: the labels recorded by the first `SetLabels`, gated like `Labels`.
  virtual std::shared_ptr<LabelCollection> OriginalLabels() = 0;
  /// 9: the text of the last failure or status message.
  virtual std::string Message() const = 0;
  /// 10: whether any label run of this object left a legend entry out ("$$SKIPPED").
  virtual runtime::ComBool SkippedLegendItems() const = 0;
  /// 11: writes the recorded labels back into the layer's renderer.
  virtual runtime::ComBool ResetLabels(const LayerPtr& pLayer) = 0;
  /// 12: records the renderer's labels (once per object) and writes `Labels` into it.
  virtual runtime::ComBool SetLabels(const LayerPtr& pLayer) = 0;
  /// 13: computes one label per legend entry of the layer's renderer. Verifies first; the
  /// caller's expression loses its CR, LF and tab characters.
  virtual runtime::ComBool MakeLabels(const LayerPtr& pLayer, std::string& pExpression) = 0;
  /// 14: checks that an expression can label a layer; on request computes and shows a sample
  /// label and the labelling instructions.
  virtual runtime::ComBool VerifyExpression(
      const LayerPtr& pLayer, std::string& pExpression,
      const runtime::ComBool& pMakeSampleLabel = runtime::kComFalse,
      const runtime::ComBool& pShowLabelingInstructions = runtime::kComFalse) = 0;
  /// 15, 16: whether `SetLabels` writes the label of the "all other values" class. Default true.
  virtual runtime::ComBool UpdateAllOtherValues() const = 0;
  virtual void UpdateAllOtherValues(const runtime::ComBool& AllOtherValues) = 0;
  /// 17, 18: wrap labels longer than this many characters; 0 or less does not wrap. Default 0.
  virtual int16_t WrapTextIfLongerThan() const = 0;
  virtual void WrapTextIfLongerThan(const int16_t& WrapLength) = 0;
};

/// Writes legend labels computed from the features each legend entry stands for.
///
/// A host binds it to a GIS platform (which creates query filters and statistics) and to a
/// sink for message boxes, sets the switches, then calls `VerifyExpression`, `MakeLabels`,
/// `SetLabels` and `ResetLabels`. No error ever leaves the object: every failure is a false
/// result and its text in `Message`. Calls on one object must not overlap; use one object per
/// layer.
///
/// Each object has its own locale, in which it writes numbers and dates into labels and into
/// the breaks of its attribute queries, and reads numeric arguments; objects with different
/// locales may live side by side.
///
/// Its private routines live in their own folders: `EvaluateExpression`,
/// `ParseFormattingStatements`, `ParseLiteralText`, `ApplyFormattingFunction` and
/// `WrapLabelText` (expression/) return values; `MakeSimpleRendererLabel`,
/// `MakeUniqueRendererLabels`, `MakeClassBreaksRendererLabels` and
/// `MakeBivariateRendererLabels` (legend/) read the object's state and return their labels;
/// only the object writes its state.
class Quillet final : public Quillet_ {
 public:
  /// `platform` creates the query filters and statistics of label runs; `messages` receives
  /// message boxes (none are shown when it is null).
  explicit Quillet(std::shared_ptr<gis::ObjectFactory> platform,
                   std::shared_ptr<runtime::MessageSink> messages = nullptr);
  ~Quillet() override;
  Quillet(const Quillet&) = delete;
  Quillet& operator=(const Quillet&) = delete;

  runtime::ComBool ShowMessages() const override;
  void ShowMessages(const runtime::ComBool& DisplayMessages) override;
  runtime::ComBool ApplyDefinitionQuery() const override;
  void ApplyDefinitionQuery(const runtime::ComBool& ApplyDefinition) override;
  runtime::ComBool ApplySelectionSet() const override;
  void ApplySelectionSet(const runtime::ComBool& ApplySelection) override;
  std::shared_ptr<LabelCollection> Labels() override;
  std::shared_ptr<LabelCollection> OriginalLabels() override;
  std::string Message() const override;
  runtime::ComBool SkippedLegendItems() const override;
  runtime::ComBool ResetLabels(const LayerPtr& pLayer) override;
  runtime::ComBool SetLabels(const LayerPtr& pLayer) override;
  runtime::ComBool MakeLabels(const LayerPtr& pLayer, std::string& pExpression) override;
  runtime::ComBool VerifyExpression(
      const LayerPtr& pLayer, std::string& pExpression,
      const runtime::ComBool& pMakeSampleLabel = runtime::kComFalse,
      const runtime::ComBool& pShowLabelingInstructions = runtime::kComFalse) override;
  runtime::ComBool UpdateAllOtherValues() const override;
  void UpdateAllOtherValues(const runtime::ComBool& AllOtherValues) override;
  int16_t WrapTextIfLongerThan() const override;
  void WrapTextIfLongerThan(const int16_t& WrapLength) override;

  // For hosts, beside the component's interface.

  /// The locale of this object; by default the classic en-US profile (`Locale::EnUs()`).
  const runtime::Locale& Locale() const;
  void SetLocale(runtime::Locale locale);
  /// The label of the last successful `VerifyExpression` with a sample, in its text form;
  /// "" before any.
  std::string SampleLabel() const;
  /// What made the last label run fail underneath the component's message (which for a failed
  /// label maker is only "Unknown Error in MakeLabels!"): the legend class whose features could
  /// not be queried and the platform's description, as in `the features of the value "O'Hara"
  /// could not be queried: near "Hara": syntax error`. "" when the last `MakeLabels` or
  /// `VerifyExpression` did not fail in a label maker.
  std::string Cause() const;

 private:
  /// The member variables, in declaration order (see labeler/quillet_state.h).
  std::unique_ptr<QuilletState> mState;
};

}  // namespace quillet
