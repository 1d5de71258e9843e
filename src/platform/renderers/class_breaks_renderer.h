#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quillet/gis/renderer.h"
#include "quillet/gis/table.h"

namespace quillet::platform {

/// Ranges of one numeric field: class 0 runs from the minimum break up to and including
/// break 0, class i from above break i - 1 up to and including break i. Breaks keep the
/// order they were added in.
///
/// Class list: one class per break, labelled by the break's label. Where clauses, numbers
/// written in their shortest exact form:
/// - class 0: `"POP" >= 0 AND "POP" <= 100`
/// - class i: `"POP" > 100 AND "POP" <= 250`
class ClassBreaksRenderer : public virtual gis::ClassBreaksRenderer,
                            public virtual gis::RendererClasses {
 public:
  ClassBreaksRenderer(std::string field, double minimumBreak);

  void AddBreak(double value, std::string label);

  std::string Field() const override { return mField; }
  int32_t BreakCount() const override { return static_cast<int32_t>(mBreaks.size()); }
  double MinimumBreak() const override { return mMinimumBreak; }
  double Break(int32_t index) const override;
  std::string Label(int32_t index) const override;
  void SetLabel(int32_t index, const std::string& label) override;

  int32_t ClassCount() const override { return BreakCount(); }
  std::string Class(int32_t index) const override { return Label(index); }
  /// Fails when the field is not in `table`.
  std::string WhereClause(int32_t index, const gis::Table& table) const override;

 private:
  struct ClassBreak {
    double value;
    std::string label;
  };
  const ClassBreak& At(int32_t index) const;

  std::string mField;
  double mMinimumBreak;
  std::vector<ClassBreak> mBreaks;
};

}  // namespace quillet::platform
