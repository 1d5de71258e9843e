#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "quillet/gis/renderer.h"

namespace quillet::platform {

// Renderers in one readable expression, for tests, benchmarks and examples:
//   UniqueValue("TYPE").Class({"A"}, "Type A").Class({"B", "C"}, "B or C").Default("Other")
//   ClassBreaks("POP").Minimum(0).Break(100, "Few").Break(250, "Many")
//   Bivariate(UniqueValue("TYPE").Class({"A"}, "A"), Foreign("proportionalSymbol"))

/// Anything that makes a renderer.
class RendererBuilder {
 public:
  virtual ~RendererBuilder() = default;
  virtual std::shared_ptr<gis::FeatureRenderer> Build() const = 0;
};

class SimpleBuilder : public RendererBuilder {
 public:
  explicit SimpleBuilder(std::string label) : mLabel(std::move(label)) {}
  std::shared_ptr<gis::FeatureRenderer> Build() const override;

 private:
  std::string mLabel;
};

class UniqueValueBuilder : public RendererBuilder {
 public:
  explicit UniqueValueBuilder(std::vector<std::string> fields) : mFields(std::move(fields)) {}
  /// The text between the parts of a multi-field value (", " unless set).
  UniqueValueBuilder& Delimiter(std::string delimiter);
  /// A legend class of one or more values, in the order of the calls.
  UniqueValueBuilder& Class(std::vector<std::string> values, std::string label);
  /// Uses the default symbol, its class labelled `label`.
  UniqueValueBuilder& Default(std::string label);
  std::shared_ptr<gis::FeatureRenderer> Build() const override;

 private:
  std::vector<std::string> mFields;
  std::string mDelimiter = ", ";
  std::vector<std::pair<std::vector<std::string>, std::string>> mClasses;
  bool mUseDefault = false;
  std::string mDefaultLabel;
};

class ClassBreaksBuilder : public RendererBuilder {
 public:
  explicit ClassBreaksBuilder(std::string field) : mField(std::move(field)) {}
  /// The lower bound of the first class (0 unless set).
  ClassBreaksBuilder& Minimum(double value);
  /// The upper bound of the next class, with its label.
  ClassBreaksBuilder& Break(double value, std::string label);
  std::shared_ptr<gis::FeatureRenderer> Build() const override;

 private:
  std::string mField;
  double mMinimum = 0;
  std::vector<std::pair<double, std::string>> mBreaks;
};

class BivariateBuilder : public RendererBuilder {
 public:
  BivariateBuilder(std::shared_ptr<gis::FeatureRenderer> mainRenderer,
                   std::shared_ptr<gis::FeatureRenderer> secondRenderer)
      : mMain(std::move(mainRenderer)), mSecond(std::move(secondRenderer)) {}
  /// A new bivariate renderer over the same main and second renderers.
  std::shared_ptr<gis::FeatureRenderer> Build() const override;

 private:
  std::shared_ptr<gis::FeatureRenderer> mMain;
  std::shared_ptr<gis::FeatureRenderer> mSecond;
};

class ForeignBuilder : public RendererBuilder {
 public:
  explicit ForeignBuilder(std::string kind) : mKind(std::move(kind)) {}
  std::shared_ptr<gis::FeatureRenderer> Build() const override;

 private:
  std::string mKind;
};

/// A single-symbol renderer with this legend label.
inline SimpleBuilder Simple(std::string label = "") {
  return SimpleBuilder(std::move(label));
}

/// A unique value renderer over one or more fields.
template <typename... More>
UniqueValueBuilder UniqueValue(std::string field, More... more) {
  return UniqueValueBuilder({std::move(field), std::string(std::move(more))...});
}

/// A class breaks renderer over a numeric field.
inline ClassBreaksBuilder ClassBreaks(std::string field) {
  return ClassBreaksBuilder(std::move(field));
}

/// A bivariate renderer: the main renderer gives the legend its classes.
inline BivariateBuilder Bivariate(const RendererBuilder& mainRenderer,
                                  const RendererBuilder& secondRenderer) {
  return BivariateBuilder(mainRenderer.Build(), secondRenderer.Build());
}

/// A renderer of a kind the component does not label, such as proportional symbols.
inline ForeignBuilder Foreign(std::string kind) {
  return ForeignBuilder(std::move(kind));
}

}  // namespace quillet::platform
