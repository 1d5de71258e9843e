#include "quillet/locale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillet/error.h"
#include "support/en_us.h"
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

// Separators, currency modes, date and time patterns, names, week rules and the empty
// designators show in the German results of Format, FormatNumber and FormatCurrency.
TEST(Locale, GermanFromCldr) {
  const Locale de = Locale::FromName("de-DE");
  EXPECT_EQ(de.name, "de-DE");
  EXPECT_EQ(de.shortTimePattern, "HH:mm");
  EXPECT_EQ(de.abbreviatedMonthNames[9], "Okt");
  const std::vector<std::string> days(de.abbreviatedDayNames.begin(), de.abbreviatedDayNames.end());
  EXPECT_EQ(days, (std::vector<std::string>{"So", "Mo", "Di", "Mi", "Do", "Fr", "Sa"}));
}

TEST(Locale, FrenchFromCldr) {
  const Locale fr = Locale::FromName("fr-FR");
  EXPECT_EQ(fr.negativeCurrencyMode, 8);
  EXPECT_EQ(fr.shortDatePattern, "dd/MM/yyyy");
  EXPECT_EQ(fr.longDatePattern, "dddd d MMMM yyyy");
  EXPECT_EQ(fr.longTimePattern, "HH:mm:ss");
  EXPECT_EQ(fr.dateSeparator, "/");
  EXPECT_EQ(fr.firstDayOfWeek, 2);
  EXPECT_EQ(fr.monthNames[0], "janvier");
  const std::vector<std::string> months(fr.abbreviatedMonthNames.begin(),
                                        fr.abbreviatedMonthNames.end());
  EXPECT_EQ(months,
            (std::vector<std::string>{"janv.", "f\xC3\xA9vr.", "mars", "avr.", "mai", "juin",
                                      "juil.", "ao\xC3\xBBt", "sept.", "oct.", "nov.",
                                      "d\xC3\xA9"
                                      "c."}));
  EXPECT_EQ(fr.abbreviatedDayNames[1], "lun.");
}

TEST(Locale, OtherLocales) {
  const Locale ja = Locale::FromName("ja-JP");
  EXPECT_EQ(ja.shortDatePattern, "yyyy/MM/dd");
  EXPECT_EQ(ja.firstDayOfWeek, 1);
  const Locale nl = Locale::FromName("nl-NL");
  EXPECT_EQ(nl.positiveCurrencyMode, 2);
  const Locale hi = Locale::FromName("hi-IN");
  EXPECT_EQ(hi.longTimePattern, "h:mm:ss tt");
  EXPECT_FALSE(hi.amDesignator.empty());
  const Locale ko = Locale::FromName("ko-KR");
  EXPECT_EQ(ko.longTimePattern, "tt h:mm:ss");
  EXPECT_EQ(Locale::FromName("de_DE").name, "de-DE");
  EXPECT_EQ(Locale::FromName("zh-CN").monthNames[0], "\xE4\xB8\x80\xE6\x9C\x88");
}

TEST(Locale, UnknownNamesAreErrors) {
  for (const char* name : {"xx-YY", "", "not a locale", "-", "de-DE-x-"}) {
    EXPECT_EQ(test::ErrorOf([&] { Locale::FromName(name); }).Description(),
              std::string("Unknown locale: ") + name);
  }
}

}  // namespace
}  // namespace quillet::runtime
