#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "qgis/xml_document.h"
#include "quillet/gis/renderer.h"

namespace quillet::qgis {

/// One entry of a QGIS renderer's legend and the element that holds its label.
struct LegendItem {
  /// The <category> or <range>; nullptr for a single symbol's entry, which has no label.
  const XmlElement* element = nullptr;
  /// What it stands for: a value ("Africa", "Asia; Europe" for a merged category), "all other
  /// values" for the catch-all category, a range ("0 to 1000000", "above 1000000 to 1e+07"),
  /// "all features".
  std::string stands;
  std::string label;
  /// What identifies the entry in the file whatever its place: a category's value as written
  /// (a merged one's values as `stands` has them, "" for the catch-all), a range's bounds as
  /// written ("0.000000000000000 - 1000000.000000000000000"), "" for a single symbol.
  std::string key = "";
  /// A category's value as written; none for the catch-all, a merged category and other kinds
  /// of entries.
  std::optional<std::string> value = std::nullopt;
  bool catchAll = false;
  /// A range's bounds, when they are numbers.
  std::optional<std::pair<double, double>> range = std::nullopt;
};

/// A QGIS feature renderer (`<renderer-v2>`) as the component sees it:
/// - singleSymbol: a simple renderer, whose one legend entry has no label in the file;
/// - categorizedSymbol: a unique value renderer over `attr`, one class per category in file
///   order; the catch-all category (value "" or "NULL") becomes the default class, last;
/// - graduatedSymbol: a class breaks renderer over `attr`, one class per range from the lowest
///   range up (whatever their order in the file), the lowest bound the minimum break; the
///   ranges must follow one another without gaps. Each break is made so that the class holds
///   the features QGIS draws with the range: a value on a bound two ranges share is drawn by
///   the range listed first, and QGIS also draws a value within 4 machine epsilons of the
///   outermost bounds (`qgsDoubleNear`), which the highest break and `LowestValue` take in;
/// - pointDisplacement, pointCluster, invertedPolygonRenderer, mergedFeatureRenderer: a
///   bivariate renderer whose main renderer is the embedded one;
/// - any other type: a renderer with none of the roles the component labels.
class QgisRenderer {
 public:
  /// Reads the element (which stays owned by the caller and must outlive this).
  explicit QgisRenderer(const XmlElement& element);

  /// The QGIS type, with the embedded one for a wrapper: "pointCluster of graduatedSymbol".
  std::string Kind() const;
  /// The legend entries in the component's order (a catch-all category last, ranges from the
  /// lowest up).
  const std::vector<LegendItem>& Items() const { return mItems; }
  /// For each entry in the order QGIS shows them (the file's), its index in `Items`.
  const std::vector<size_t>& LegendOrder() const { return mLegendOrder; }
  /// Whether the file holds labels for the legend (not for a single symbol or a kind the
  /// component does not label).
  bool HoldsLabels() const;
  /// Whether it is a categorized renderer with a catch-all category, and the values of its
  /// other categories in the component's order.
  bool HasCatchAll() const { return mHasCatchAll; }
  const std::vector<std::vector<std::string>>& Values() const { return mValues; }
  /// The expression or field the classes are made by (`attr`), "" when there is none.
  const std::string& Attribute() const { return mAttribute; }
  /// For ranges whose bounds are numbers, the least value QGIS draws, as an SQL number: the
  /// lowest bound as written, or the least double within `qgsDoubleNear` of it in full.
  std::optional<std::string> LowestValue() const;

  /// A new platform renderer; the classes are made by `field` (the attribute as the
  /// layer's table names it) and labelled with `labels` when given, else with the file's.
  /// Fails when the file's classes cannot be a legend the component labels (a value listed
  /// twice, ranges with a gap, a bound that is not a number).
  std::shared_ptr<gis::FeatureRenderer> Make(const std::string& field,
                                             const std::vector<std::string>* labels) const;

 private:
  void ReadCategories(const XmlElement& renderer);
  void ReadRanges(const XmlElement& renderer);
  std::shared_ptr<gis::FeatureRenderer> MakeClassifying(
      const std::string& field, const std::vector<std::string>& labels) const;

  std::string mType;
  std::string mEmbeddedType;  ///< the classifying renderer's type ("" without a wrapper)
  std::string mAttribute;
  std::vector<LegendItem> mItems;
  /// A range as written, its place in the file, and its bounds when they are numbers.
  struct Range {
    std::string lower;
    std::string upper;
    size_t place = 0;
    std::optional<std::pair<double, double>> bounds;
  };

  std::vector<size_t> mLegendOrder;
  /// Category values per legend entry; ranges in the component's order.
  std::vector<std::vector<std::string>> mValues;
  bool mHasCatchAll = false;
  std::vector<Range> mRanges;
};

/// QGIS's `qgsDoubleNear` with its default epsilon: `a - b` within (-4 eps, 4 eps].
bool QgisDoubleNear(double a, double b);

/// Whether a renderer type wraps an embedded renderer.
bool IsWrapper(const std::string& type);

}  // namespace quillet::qgis
