#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillet::runtime {

/// Of `names`, those spelt most like `name` (the fewest letters to add, drop or change,
/// without regard to letter case; a qualified name "world.POP" also by its part after the
/// dot), nearest first and at most `count`. A name further off than a third of the longer
/// spelling (at least two letters) is no help and left out.
std::vector<std::string> NearestNames(std::string_view name, const std::vector<std::string>& names,
                                      size_t count = 3);

/// For a message about a field `name` that is not among `fields`: "nearest: pop, popest", or
/// "its fields: ..." listing them all when none is near.
std::string FieldsNear(std::string_view name, const std::vector<std::string>& fields);

}  // namespace quillet::runtime
