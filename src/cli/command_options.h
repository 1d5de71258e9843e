#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillet::cli {

/// What one run of the command was asked to do, as the command line gave it.
struct CommandOptions {
  std::string command;  ///< labels, verify, set, reset or show
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
};

}  // namespace quillet::cli
