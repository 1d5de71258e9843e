// Values and dates as text and back: ToText, the calendar, system date patterns, ParseDate.
#include "runtime/text_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "quillet/error.h"
#include "runtime/date.h"
#include "runtime/date_parse.h"
#include "runtime/date_text.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

// Doubles show 15 significant digits, Singles 7, each in fixed or scientific form.
TEST(ToText, EveryKind) {
  EXPECT_EQ(ToText(Variant::Double(0.1 + 0.2)), "0.3");
  EXPECT_EQ(ToText(Variant::Double(2.0 / 3)), "0.666666666666667");
  EXPECT_EQ(ToText(Variant::Double(-35.3632621)), "-35.3632621");
  EXPECT_EQ(ToText(Variant::Double(999999999999999)), "999999999999999");
  EXPECT_EQ(ToText(Variant::Double(1234567890123456)), "1.23456789012346E+15");
  EXPECT_EQ(ToText(Variant::Double(999999999999999.9)), "1E+15");
  EXPECT_EQ(ToText(Variant::Double(5.6789E-11)), "0.000000000056789");
  EXPECT_EQ(ToText(Variant::Double(5.6789E-12)), "5.6789E-12");
  EXPECT_EQ(ToText(Variant::Double(1.7976931348623157E308)), "1.79769313486232E+308");
  EXPECT_EQ(ToText(Variant::Double(-0.0)), "0");
  EXPECT_EQ(ToText(Variant::Double(1.25E-20), Locale::FromName("de-DE")), "1,25E-20");
  EXPECT_EQ(ToText(Variant::Single(75.3421115f)), "75.34211");
  EXPECT_EQ(ToText(Variant::Single(1E8f)), "1E+08");
  EXPECT_EQ(ToText(Variant::Single(654322.25f)), "654322.3");
  EXPECT_EQ(ToText(Variant::Boolean(true)), "True");
  EXPECT_EQ(ToText(Variant::Boolean(false)), "False");
  EXPECT_EQ(ToText(Variant::Empty()), "");
  EXPECT_EQ(ToText(Variant::Null()), "");
  EXPECT_EQ(ToText(Variant("as is ")), "as is ");
}

TEST(ToText, Dates) {
  const double day = DateSerial(1993, 1, 27);
  const double time = TimeSerial(17, 4, 23);
  EXPECT_EQ(ToText(Variant::Date(day + time)), "1/27/1993 5:04:23 PM");
  EXPECT_EQ(ToText(Variant::Date(day)), "1/27/1993");
  EXPECT_EQ(ToText(Variant::Date(time)), "5:04:23 PM");
  EXPECT_EQ(ToText(Variant::Date(0)), "12:00:00 AM");
  EXPECT_EQ(ToText(Variant::Date(-49192.24)), "4/24/1765 5:45:36 AM");
  EXPECT_EQ(ToText(Variant::Date(day + 1e-13)), "1/27/1993");
  EXPECT_EQ(ToText(Variant::Date(1.9999999999)), "1/1/1900 12:00:00 AM");  // the next midnight
  EXPECT_EQ(ToText(Variant::Date(DateSerial(2000, 2, 29) + 0.5)), "2/29/2000 12:00:00 PM");
  // Beyond 31 Dec 9999 no date has a text; far beyond, its day count would not fit an integer.
  for (const double serial : {DateSerial(10000, 1, 1), 6.08847e+247})
    EXPECT_EQ(test::ErrorNumberOf([&] { ToText(Variant::Date(serial), Locale::EnUs()); }), 5);
}

// The locale's own patterns (short and long date, long time) are checked through Format.
TEST(DateText, SystemPatterns) {
  const double moment = DateSerial(1993, 1, 27) + TimeSerial(17, 4, 23);
  const Locale& en = Locale::EnUs();
  const std::pair<const char*, const char*> rows[] = {
      {"MM/dd/yy", "01/27/93"},       {"ddd MMM", "Wed Jan"}, {"HH:mm t", "17:04 P"},
      {"d 'o''clock'", "27 o'clock"}, {"d ''", "27 '"},       {"yyyy'", "1993"},
  };
  for (const auto& [pattern, expected] : rows)
    EXPECT_EQ(FormatSystemDatePattern(moment, pattern, en), expected) << pattern;
  // A year before 1000 is written whole, without leading zeros, in every date form.
  EXPECT_EQ(ToText(Format(Variant::Date(DateSerial(100, 1, 1)), "Long Date")),
            "Friday, January 1, 100");
}

TEST(ParseDate, ReadsDatesAndTimesAndRejectsTheRest) {
  const Locale& en = Locale::EnUs();
  struct Row {
    std::string text;
    double expected;
  };
  const double jan27 = DateSerial(1993, 1, 27);
  const std::vector<Row> rows = {
      {"1/27/1993", jan27},
      {"27/1/1993", jan27},  // no 27th month: day first
      {"1993-01-27", jan27},
      {"1/1/29", DateSerial(2029, 1, 1)},
      {"1/1/30", DateSerial(1930, 1, 1)},
      {"January 27, 1993", jan27},
      {"Wednesday, January 27, 1993", jan27},
      {"Jan 1993", DateSerial(1993, 1, 1)},
      {"1/2000", DateSerial(2000, 1, 1)},
      {"1/27/1993 5:04:23 PM", jan27 + TimeSerial(17, 4, 23)},
      {"17:04", TimeSerial(17, 4, 0)},
      {"12:00 AM", 0},
      {"5 pm", TimeSerial(17, 0, 0)},
      {"4/24/1765 5:45:36 AM", -49192.24},
  };
  for (const Row& row : rows)  // no date at all gives NaN, which is near nothing
    EXPECT_NEAR(ParseDate(row.text, en).value_or(std::nan("")), row.expected, 1e-9) << row.text;
  for (const char* text :
       {"", "abc", "12", "13/13/2000", "2/30/2000", "2/29/1900", "4/31/2023", "25:00", "1/1/1/1",
        "5:61", "13 PM", "PM", "1/1/99999", "Jan Feb 1", "1 + 2"})
    EXPECT_FALSE(ParseDate(text, en).has_value()) << text;
}

TEST(ParseDate, LocaleOrderAndNames) {
  const Locale de = Locale::FromName("de-DE");
  EXPECT_EQ(*ParseDate("3/4/2000", de), DateSerial(2000, 4, 3));
  EXPECT_EQ(*ParseDate("3/4/2000", Locale::EnUs()), DateSerial(2000, 3, 4));
  EXPECT_EQ(*ParseDate("27. Januar 1993", de), DateSerial(1993, 1, 27));
  const Locale fr = Locale::FromName("fr-FR");
  EXPECT_EQ(*ParseDate("27 janv. 1993", fr), DateSerial(1993, 1, 27));
}

}  // namespace
}  // namespace quillet::runtime
