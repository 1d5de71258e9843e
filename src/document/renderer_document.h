#pragma once

#include <memory>
#include <string>
#include <vector>

#include "document/json_reader.h"
#include "map/legend_entry.h"
#include "quillet/gis/renderer.h"

namespace quillet::document {

/// The renderer kinds a map document names, in the order messages list them.
inline constexpr const char* kRendererKinds[] = {"simple", "uniqueValue", "classBreaks",
                                                 "bivariate", "proportionalSymbol"};

/// Builds the platform renderer that a document's renderer object describes:
///   simple              { "label" }
///   uniqueValue         { "fields", "fieldDelimiter", "classes": [{ "values", "label" }],
///                         "default": { "label" } }
///   classBreaks         { "field", "minimumBreak", "classes": [{ "break", "label" }] }
///   bivariate           { "main": uniqueValue or classBreaks, "second": any kind }
///   proportionalSymbol  { "field" }
/// Fails naming the key (a JSON pointer below `where`) that is missing, of the wrong type, of
/// an unknown kind, or that the renderer refuses (a value listed twice).
std::shared_ptr<gis::FeatureRenderer> ReadRenderer(const JsonReader& reader, const Json& renderer,
                                                   const std::string& where);

/// The legend entries of a renderer that `ReadRenderer` accepted, in legend order: a simple
/// renderer's one entry; a unique value renderer's classes, then its default class; a class
/// breaks renderer's classes; a bivariate renderer's main renderer's entries; none for a
/// proportional symbol renderer.
std::vector<map::LegendEntry> LegendEntries(const Json& renderer);

/// The JSON pointers of the objects that hold the legend entries' labels, in legend order (as
/// `LegendEntries` counts them), below the renderer object at `where`.
std::vector<std::string> LegendEntryPointers(const Json& renderer, const std::string& where);

/// Writes labels into the legend entries of a renderer object, in legend order (as
/// `LegendEntries` counts them), replacing each entry's "label" in place or adding it last.
/// Fails unless there is one label per entry.
void WriteLegendLabels(Json& renderer, const std::vector<std::string>& labels);

}  // namespace quillet::document
