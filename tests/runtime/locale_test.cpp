#include "quillet/locale.h"

#include <gtest/gtest.h>

#include <string>

#include "support/error_of.h"

namespace quillet::runtime {
namespace {

// en-US is the classic profile, not CLDR's (whose negative currency and short date differ).
TEST(Locale, EnglishByNameIsTheClassicProfile) {
  for (const char* name : {"en-US", "en_US", "EN-us"}) {
    const Locale en = Locale::FromName(name);
    EXPECT_EQ(en.name, "en-US") << name;
    EXPECT_EQ(en.negativeCurrencyMode, 0) << name;
    EXPECT_EQ(en.shortDatePattern, "M/d/yyyy") << name;
  }
}

// CLDR's patterns rewritten in the runtime's letters; the rest of a locale shows in the results
// of Format, FormatNumber and FormatCurrency.
TEST(Locale, PatternsAndModesFromCldr) {
  const Locale fr = Locale::FromName("fr-FR");
  EXPECT_EQ(fr.negativeCurrencyMode, 8);
  EXPECT_EQ(fr.longDatePattern, "dddd d MMMM yyyy");
  EXPECT_EQ(fr.firstDayOfWeek, 2);
  EXPECT_EQ(Locale::FromName("ja-JP").shortDatePattern, "yyyy/MM/dd");
  EXPECT_EQ(Locale::FromName("nl-NL").positiveCurrencyMode, 2);
  EXPECT_EQ(Locale::FromName("hi-IN").longTimePattern, "h:mm:ss tt");
  EXPECT_EQ(Locale::FromName("ko-KR").longTimePattern, "tt h:mm:ss");
  EXPECT_EQ(Locale::FromName("de_DE").name, "de-DE");
}

TEST(Locale, UnknownNamesAreErrors) {
  for (const char* name : {"xx-YY", "", "not a locale", "-", "de-DE-x-"}) {
    EXPECT_EQ(test::ErrorOf([&] { Locale::FromName(name); }).Description(),
              std::string("Unknown locale: ") + name);
  }
}

}  // namespace
}  // namespace quillet::runtime
