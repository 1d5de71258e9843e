// Qualifies the own fields of arbitrary QGIS filters and aborts when the result is more than the
// filter with "table". put before some names, when qualifying twice changes it again, or when
// a quoted name does not unquote to itself. Crashes, leaks, undefined behaviour and hangs are
// libFuzzer's to catch.
//
// The input: the table's name up to a line feed, the own fields up to the next one (separated
// by commas), then the filter.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "platform/store/sql_text.h"
#include "qgis/subset_string.h"

namespace {

std::string_view TakeLine(std::string_view& text) {
  const size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

// Whether `result` is `filter` with `prefix` put before some of its characters.
bool IsFilterWithPrefixes(std::string_view filter, std::string_view result,
                          std::string_view prefix) {
  size_t i = 0;
  size_t j = 0;
  while (j < result.size()) {
    // A prefix the filter holds itself is never one put in: a name followed by "." is left alone.
    if (result.substr(j, prefix.size()) == prefix && filter.substr(i, prefix.size()) != prefix) {
      j += prefix.size();
      continue;
    }
    if (i >= filter.size() || filter[i] != result[j]) return false;
    ++i;
    ++j;
  }
  return i == filter.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string table(TakeLine(text));
  std::vector<std::string> fields;
  for (std::string_view list = TakeLine(text); !list.empty();) {
    const size_t comma = list.find(',');
    fields.emplace_back(list.substr(0, comma));
    list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
  }
  const std::string_view filter = text;

  CHECK(quillet::qgis::QualifyOwnFields(filter, table, {}) == filter);
  const std::string qualified = quillet::qgis::QualifyOwnFields(filter, table, fields);
  const std::string prefix = quillet::platform::QuoteIdentifier(table) + ".";
  CHECK(IsFilterWithPrefixes(filter, qualified, prefix));
  CHECK(quillet::qgis::QualifyOwnFields(qualified, table, fields) == qualified);
  CHECK(quillet::qgis::UnquotedName(quillet::platform::QuoteIdentifier(table)) == table);
  return 0;
}
