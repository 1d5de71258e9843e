#pragma once

#include <string>

#include "quillet/collection.h"

namespace quillet {

/// Labels, one per legend entry in legend order, read by position from 1.
using LabelCollection = runtime::Collection<std::string>;

}  // namespace quillet
