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
};

/// A QGIS feature renderer (`<renderer-v2>`) as the component sees it:
/// - singleSymbol: a simple renderer, whose one legend entry has no label in the file;
/// - categorizedSymbol: a unique value renderer over `attr`, one class per category in file
///   order; the catch-all category (value "" or "NULL") becomes the default class, last;
/// - graduatedSymbol: a class breaks renderer over `attr`, a break at each range's upper bound,
///   the first range's lower bound the minimum break; the ranges must follow one another;
/// - pointDisplacement, pointCluster, invertedPolygonRenderer, mergedFeatureRenderer: a
///   bivariate renderer whose main renderer is the embedded one;
/// - any other type: a renderer with none of the roles the component labels.
class QgisRenderer {
 public:
  /// Reads the element (which stays owned by the caller and must outlive this).
  explicit QgisRenderer(const XmlElement& element);

  /// The QGIS type, with the embedded one for a wrapper: "pointCluster of graduatedSymbol".
  std::string Kind() const;
  /// The legend entries in the component's order (a catch-all category last).
  const std::vector<LegendItem>& Items() const { return mItems; }
  /// Whether the file holds labels for the legend (not for a single symbol or a kind the
  /// component does not label).
  bool HoldsLabels() const;
  /// The expression or field the classes are made by (`attr`), "" when there is none.
  const std::string& Attribute() const { return mAttribute; }
  /// For ranges, the first range's lower bound as written: QGIS draws no feature below it.
  std::optional<std::string> LowestBound() const;

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
  /// Category values per legend entry; range bounds as written.
  std::vector<std::vector<std::string>> mValues;
  bool mHasCatchAll = false;
  std::vector<std::pair<std::string, std::string>> mRanges;
};

/// Whether a renderer type wraps an embedded renderer.
bool IsWrapper(const std::string& type);

}  // namespace quillet::qgis
