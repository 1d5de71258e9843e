#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "quillet/map_file.h"

namespace quillet::cli {

/// What one run of the command was asked to do, as the command line gave it.
struct CommandOptions {
  std::string command;  ///< init, labels, verify, set, reset or show
  std::string map;      ///< the map's path: a map document, QGIS project or QGIS layer style
  std::string source;   ///< --source: the data of a QGIS layer style
  std::string layer;    ///< the layer's name ("" for every layer, show only)
  std::string expression;
  bool sample = false;        ///< verify --sample
  bool instructions = false;  ///< verify --instructions
  bool noDefinitionQuery = false;
  bool noAllOtherValues = false;
  std::optional<int16_t> wrap;
  std::string locale;
  bool messages = false;
  bool json = false;
  /// labels --format: text, json or csv.
  std::string format = "text";
  /// set --output, init --output: the file written instead of the map, or the map written.
  std::string output;
  /// set --from-current: compute from the labels the map shows now.
  bool fromCurrent = false;
  /// init: the data, its field and how it is classified.
  LayerFromData init;
};

}  // namespace quillet::cli
