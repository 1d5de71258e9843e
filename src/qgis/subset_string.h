#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillet::qgis {

/// A name as QGIS may write it, in double quotes with inner quotes doubled, without them:
/// `"my ""odd"" field"` is `my "odd" field`; text not wholly in quotes stays as it is.
std::string UnquotedName(std::string_view text);

/// A joined layer's filter with the layer's own fields qualified by its table:
/// `"iso_a2" <> 'CN'` becomes `"world"."iso_a2" <> 'CN'`. QGIS filters a layer before it joins
/// another, so its subset string names the layer's own fields alone; the component runs the
/// filter over the joined rows, where a name that both tables have is ambiguous.
///
/// Field names are matched without regard to case, bare or in double quotes. Text in
/// apostrophes, numbers, names already qualified (`a.b`), function names (a bare name before
/// "(") and names that are not among `ownFields` stay as written.
std::string QualifyOwnFields(std::string_view filter, std::string_view table,
                             const std::vector<std::string>& ownFields);

}  // namespace quillet::qgis
