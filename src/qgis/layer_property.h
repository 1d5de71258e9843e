#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qgis/xml_document.h"

namespace quillet::qgis {

/// The string list kept as the custom property `key` of a layer element (a project's
/// <maplayer>, a style's <qgis>), in either form QGIS reads: the <Option type="Map"> of QGIS
/// 3.20 and later, or the older <property key="..."><value>...</value></property>.
std::optional<std::vector<std::string>> ReadStringListProperty(const XmlElement& layer,
                                                               std::string_view key);

/// A custom property's key and its string list.
using StringListProperty = std::pair<std::string, std::vector<std::string>>;

/// The edit of `text` (the file the layer element was read from) that adds the string list
/// properties, in their order, in the form the layer's <customproperties> already uses,
/// indented like its neighbours. A layer without <customproperties> gets one, last.
XmlEdit AddStringListProperties(std::string_view text, const XmlElement& layer,
                                const std::vector<StringListProperty>& properties);
/// The same for one property, `values` under `key`.
XmlEdit AddStringListProperty(std::string_view text, const XmlElement& layer, std::string_view key,
                              const std::vector<std::string>& values);

}  // namespace quillet::qgis
