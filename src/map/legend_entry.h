#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quillet/gis/renderer.h"

namespace quillet::map {

/// One entry of a renderer's legend as the map file describes it.
struct LegendEntry {
  /// What the entry stands for: "all features", the values of a class ("Africa", or
  /// "Asia; Europe" for grouped ones), "all other values", or a range ("0 to 1e+06",
  /// "above 1e+06 to 1e+07").
  std::string stands;
  std::string label;
  /// What the file says besides, where it does (a QGIS legend): a category's value, whether
  /// it is the catch-all category, a range's bounds.
  std::optional<std::string> value = std::nullopt;
  bool allOtherValues = false;
  std::optional<std::pair<double, double>> range = std::nullopt;
};

/// What a range class stands for: "0 to 1000000" for the first, "above 1000000 to 1e+15"
/// after it (whole numbers below 10^15 in full, others in their shortest exact form); a range
/// that leaves its upper bound to the next is "... to below 1e+15".
std::string RangeStands(double lower, double upper, bool first, bool throughUpper = true);

/// The labels a platform renderer shows, in legend order: a simple renderer's label, every
/// class of a class list (the default class last), a bivariate renderer's main renderer's;
/// none for a kind with no labels. They are made valid UTF-8 (U+FFFD for a byte that is not),
/// as a map file must hold them: a label computed from data in another encoding would
/// otherwise make a file that no reader takes.
std::vector<std::string> RendererLabels(const gis::FeatureRenderer& renderer);

}  // namespace quillet::map
