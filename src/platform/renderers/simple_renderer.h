#pragma once

#include <string>

#include "quillet/gis/renderer.h"

namespace quillet::platform {

/// One symbol for every feature, with one legend label.
class SimpleRenderer : public virtual gis::SimpleRenderer {
 public:
  explicit SimpleRenderer(std::string label = "") : mLabel(std::move(label)) {}
  std::string Label() const override { return mLabel; }
  void SetLabel(const std::string& label) override { mLabel = label; }

 private:
  std::string mLabel;
};

}  // namespace quillet::platform
