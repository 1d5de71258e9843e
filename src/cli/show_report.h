#pragma once

#include <cstdint>
#include <string>

#include "cli/outcome.h"
#include "map/map.h"

namespace quillet::cli {

/// The name of a field type code as `show` writes it: "small integer", "integer", "single",
/// "double", "text", "date", "object id", "geometry", "blob".
std::string FieldTypeName(int32_t type);

/// `show`: every layer of the document (or only `layer` when not empty) with its data
/// source, table, category and number of features, definition, join, renderer kind, legend
/// entries and labels, stored original labels, and the fields of its table as the component
/// sees them (qualified on a join) with their types. Opens each layer's data.
Outcome Show(const map::Map& document, const std::string& layer);

}  // namespace quillet::cli
