#pragma once

#include <cstdint>
#include <string>

#include "platform/renderers/class_breaks_renderer.h"
#include "platform/renderers/unique_value_renderer.h"

namespace quillet::test {

/// A renderer that is a unique value renderer (TYPE A, "Type A") and a class breaks renderer
/// (POP up to 100) at once; its class list is the unique value one.
class UniqueValueAndClassBreaks : public platform::UniqueValueRenderer,
                                  public platform::ClassBreaksRenderer {
 public:
  UniqueValueAndClassBreaks()
      : platform::UniqueValueRenderer({"TYPE"}), platform::ClassBreaksRenderer("POP", 0) {
    AddClass({"A"}, "Type A");
    AddBreak(100, "Up to 100");
  }
  int32_t ClassCount() const override { return UniqueValueRenderer::ClassCount(); }
  std::string Class(int32_t index) const override { return UniqueValueRenderer::Class(index); }
  std::string WhereClause(int32_t index, const gis::Table& table) const override {
    return UniqueValueRenderer::WhereClause(index, table);
  }
};

}  // namespace quillet::test
