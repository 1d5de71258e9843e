#include "qgis/subset_string.h"

#include <gtest/gtest.h>

namespace quillet::qgis {
namespace {

TEST(QualifyOwnFields, OwnFieldsGetTheirTableAndNothingElseChanges) {
  const std::vector<std::string> own = {"fid", "iso_a2", "pop", "my field", "Name"};
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"iso_a2 <> 'CN' AND pop>1e-5", R"("world".iso_a2 <> 'CN' AND "world".pop>1e-5)"},
      {R"("My Field" = 1 OR NAME IS NULL)", R"("world"."My Field" = 1 OR "world".NAME IS NULL)"},
      // Already qualified, a joined field, text, a function of the same name, not a field.
      {R"("world"."pop" > stats.pop)", R"("world"."pop" > stats.pop)"},
      {R"("stats"."pop" >= 0)", R"("stats"."pop" >= 0)"},
      {"'pop' = \"x\" || 'it''s pop'", "'pop' = \"x\" || 'it''s pop'"},
      {"name (x) = 1 AND upper(name) = 'A'", "name (x) = 1 AND upper(\"world\".name) = 'A'"},
      {"2pop = pop2", "2pop = pop2"},
      {"\"unterminated = 'x", "\"unterminated = 'x"},
  };
  for (const auto& [filter, qualified] : cases)
    EXPECT_EQ(QualifyOwnFields(filter, "world", own), qualified) << filter;
  EXPECT_EQ(QualifyOwnFields("pop > 1", "my \"world\"", own), R"("my ""world""".pop > 1)");
}

}  // namespace
}  // namespace quillet::qgis
