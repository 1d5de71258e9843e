#include "platform/builders/renderer_builders.h"

#include "platform/renderers/bivariate_renderer.h"
#include "platform/renderers/class_breaks_renderer.h"
#include "platform/renderers/foreign_renderer.h"
#include "platform/renderers/simple_renderer.h"
#include "platform/renderers/unique_value_renderer.h"

namespace quillet::platform {

std::shared_ptr<gis::FeatureRenderer> SimpleBuilder::Build() const {
  return std::make_shared<SimpleRenderer>(mLabel);
}

UniqueValueBuilder& UniqueValueBuilder::Delimiter(std::string delimiter) {
  mDelimiter = std::move(delimiter);
  return *this;
}

UniqueValueBuilder& UniqueValueBuilder::Class(std::vector<std::string> values, std::string label) {
  mClasses.emplace_back(std::move(values), std::move(label));
  return *this;
}

UniqueValueBuilder& UniqueValueBuilder::Default(std::string label) {
  mUseDefault = true;
  mDefaultLabel = std::move(label);
  return *this;
}

std::shared_ptr<gis::FeatureRenderer> UniqueValueBuilder::Build() const {
  auto renderer = std::make_shared<UniqueValueRenderer>(mFields, mDelimiter);
  for (const auto& [values, label] : mClasses)
    renderer->AddClass(values, label);
  if (mUseDefault) renderer->UseDefault(mDefaultLabel);
  return renderer;
}

ClassBreaksBuilder& ClassBreaksBuilder::Minimum(double value) {
  mMinimum = value;
  return *this;
}

ClassBreaksBuilder& ClassBreaksBuilder::Break(double value, std::string label) {
  mBreaks.emplace_back(value, std::move(label));
  return *this;
}

std::shared_ptr<gis::FeatureRenderer> ClassBreaksBuilder::Build() const {
  auto renderer = std::make_shared<ClassBreaksRenderer>(mField, mMinimum);
  for (const auto& [value, label] : mBreaks)
    renderer->AddBreak(value, label);
  return renderer;
}

std::shared_ptr<gis::FeatureRenderer> BivariateBuilder::Build() const {
  return std::make_shared<BivariateRenderer>(mMain, mSecond);
}

std::shared_ptr<gis::FeatureRenderer> ForeignBuilder::Build() const {
  return std::make_shared<ForeignRenderer>(mKind);
}

}  // namespace quillet::platform
