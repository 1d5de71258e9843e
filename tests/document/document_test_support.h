#pragma once

#include <filesystem>

#include "support/files.h"

namespace quillet::test {

inline const std::filesystem::path kDataDir = QUILLET_DATA_DIR;

}  // namespace quillet::test
