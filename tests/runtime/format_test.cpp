#include "runtime/format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quillet/error.h"
#include "runtime/date.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

struct Row {
  Variant value;
  std::string pattern;
  std::string expected;
};

std::string Text(const Variant& value, const std::string& pattern, int32_t firstDay = 1,
                 int32_t firstWeek = 1, const Locale& locale = Locale::EnUs()) {
  const Variant result = Format(value, pattern, firstDay, firstWeek, locale);
  return result.IsNull() ? "<Null>" : result.AsString();
}

void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& row : rows)
    EXPECT_EQ(Text(row.value, row.pattern), row.expected)
        << "pattern [" << row.pattern << "] value " << KindName(row.value.Kind());
}

Variant D(double value) {
  return Variant::Double(value);
}
Variant L(int32_t value) {
  return Variant::Long(value);
}

// 27 Jan 1993 17:04:23, a Wednesday.
const double kDay = DateSerial(1993, 1, 27);
const double kMoment = kDay + TimeSerial(17, 4, 23);
Variant Moment() {
  return Variant::Date(kMoment);
}

TEST(FormatArguments, BadWeekSettingsAndDatesOutsideTheRangeAreInvalidCalls) {
  auto errorOf = [](double value, const char* pattern, int32_t day, int32_t week) {
    return test::ErrorNumberOf([&] { Format(D(value), pattern, day, week, Locale::EnUs()); });
  };
  for (auto [day, week] : {std::pair{-1, 1}, {8, 1}, {1, -1}, {1, 4}})
    EXPECT_EQ(errorOf(1, "ww", day, week), Error::kInvalidProcedureCall) << day << "/" << week;
  for (const char* pattern : {"dd/mm/yyyy", "Long Date", "General Date"}) {
    for (double serial : {2958466.0, -657435.0})
      EXPECT_EQ(errorOf(serial, pattern, 1, 1), Error::kInvalidProcedureCall) << pattern << serial;
  }
  EXPECT_EQ(Text(D(-657434), "yyyy-mm-dd"), "100-01-01");
  EXPECT_EQ(Text(D(2958465), "yyyy-mm-dd"), "9999-12-31");
}

// Text is read as a number, else as a date; Empty is no text, Null stays Null.
TEST(FormatArguments, ValuesOfEachKind) {
  ExpectRows({
      {Variant::Empty(), "0.00", ""},
      {Variant("39697.11"), "mm-dd-yy", "09-06-08"},
      {Variant("1/27/1993"), "0.00", "33996.00"},
      {Variant("n/a"), "0.00", "n/a"},
      {Variant::Date(kDay), "0.00", "33996.00"},
      {Variant::Boolean(true), "0.0", "-1.0"},
  });
  for (const char* pattern : {"", "0.00", "Fixed", "@"})
    EXPECT_TRUE(Format(Variant::Null(), pattern).IsNull()) << pattern;
}

TEST(FormatNamed, EveryNamedFormat) {
  struct NamedRow {
    std::string name, positive, negative, zero;
  };
  const std::vector<NamedRow> rows = {
      {"General Number", "1234.5678", "-1234.5678", "0"},
      {"Currency", "$1,234.57", "($1,234.57)", "$0.00"},
      {"Fixed", "1234.57", "-1234.57", "0.00"},
      {"Standard", "1,234.57", "-1,234.57", "0.00"},
      {"Percent", "123456.78%", "-123456.78%", "0.00%"},
      {"Scientific", "1.23E+03", "-1.23E+03", "0.00E+00"},
      {"Yes/No", "Yes", "Yes", "No"},
      {"True/False", "True", "True", "False"},
      {"On/Off", "On", "On", "Off"},
  };
  for (const NamedRow& row : rows) {
    EXPECT_EQ(Text(D(1234.5678), row.name), row.positive) << row.name;
    EXPECT_EQ(Text(D(-1234.5678), row.name), row.negative) << row.name;
    EXPECT_EQ(Text(D(0), row.name), row.zero) << row.name;
  }
  ExpectRows({
      {D(0.5), "fixed", "0.50"},
      {Variant::Single(75.3421115f), "General Number", "75.34211"},
      // Only the whole pattern names a format; with more sections it is a user pattern,
      {D(5), "Fixed;Fixed", "Fixe4"},  // a date pattern by its "d"
      {Moment(), "General Date", "1/27/1993 5:04:23 PM"},
      {Moment(), "Long Date", "Wednesday, January 27, 1993"},
      {Moment(), "Medium Date", "27-Jan-93"},
      {Moment(), "Short Date", "1/27/1993"},
      {Moment(), "Long Time", "5:04:23 PM"},
      {Moment(), "Medium Time", "05:04 PM"},
      {Moment(), "Short Time", "17:04"},
  });
}

TEST(FormatNumberPattern, PlaceholdersRoundingAndGrouping) {
  ExpectRows({
      {L(1), "000###", "000001"},
      {L(17), "#000", "017"},
      {D(0.17), "#.00", ".17"},
      {D(-0.1), ".#", "-.1"},
      {L(0), "#.#", "."},
      {L(1234), "#-#", "123-4"},
      // The fraction, rounded half away from zero on the binary value.
      {D(1.2), "0#.0#0#0#0#0", "01.200000000"},
      {D(2.5), "0", "3"},
      {D(9.9999999), "#0.000000", "10.000000"},
      {D(0.0995), "#.##", ".1"},
      {D(0.075), "$#.##", "$.07"},
      {D(-0.001), "0.00", "-0.00"},
      // Beyond 15 significant digits the places print as zeros.
      {D(0.1), "0.00000000000000000000", "0.10000000000000000000"},
      {D(1.7976931348623157E308), "0.00E+000", "1.80E+308"},
      // Commas: between placeholders they group, before the point or at the end they scale.
      {L(100000), "#,###,###,###", "100,000"},
      {L(100000000), "##0,,", "100"},
      {L(500), "0,", "1"},
      {L(1234567), "#,##0,.00", "1,234.57"},
      {L(1234567), "0.00,", "1234567.00"},
      {L(1234), ",0", "1234"},
  });
}

TEST(FormatNumberPattern, PercentScientificAndLiterals) {
  ExpectRows({
      {D(0.5), "%0", "%50"},
      {D(3.0401E-13), "#####.####e-0%", "30401.e-15%"},
      {D(29.123456789), "0.#####E-#0#0", "2.91235E01"},
      {D(1.7), "0.0000e-1", "1.7000e01"},
      {D(1.7), "0.0000E-000", "1.7000E000"},
      {D(47.11), ".0000E+0", ".4711E+2"},
      {D(4.500001E+45), "#000.0000e+0", "4500.0010e+42"},
      {D(0.000123), "0.00E-00", "1.23E-04"},
      {D(9.999), "0.00E+00", "1.00E+01"},
      {L(0), "#.##E+0", ".E+0"},
      // Literals.
      {L(1), "00\\c\\o\\p\\y", "01copy"},
      {D(1.7), "#.33", "2.33"},
      {L(-5), "\"Total: \"0", "-Total: 5"},
      {L(5), "0.0.0", "5.0.0"},
      {L(5), "0\\", "5"},
      {L(5), "0\"unterminated", "5unterminated"},
      // Patterns of literals only.
      {L(-5), "\\x", "-x"},
      {L(5), "tttt", "tttt"},
      {Variant("abc"), "\\x", "xabc"},
  });
}

TEST(FormatNumberPattern, Sections) {
  ExpectRows({
      {L(-1234), "$#,##0;($#,##0)", "($1,234)"},
      {L(0), "\"pos\";\"neg\"", "pos"},
      {L(0), "\"pos\";\"neg\";\"zero\"", "zero"},
      {L(-5), "$#,##0;;\\Z\\e\\r\\o", "-$5"},
      {L(0), "#,0.00;(#,0.00);;\"NA\"", "0.00"},
      {D(-0.001), "0.00;(0.00)", "(0.00)"},
      {D(0.001), "0;-0;\\Z", "0"},
      {L(-5), "\\;0", "-;5"},  // an escaped ";" parts no sections
  });
  EXPECT_EQ(Text(Variant::Null(), "0;0;0;\\N\\u\\l\\l"), "Null");
  EXPECT_EQ(Text(Variant::Null(), "0;0;0;"), "<Null>");
}

TEST(FormatDatePattern, Tokens) {
  ExpectRows({
      {Moment(), "c", "1/27/1993 5:04:23 PM"},
      {Variant::Date(DateSerial(1993, 1, 5)), "d/dd", "5/05"},
      {Moment(), "ddddd", "1/27/1993"},
      {Moment(), "dddddd", "Wednesday, January 27, 1993"},
      {Moment(), "ddddddd", "Wednesday, January 27, 199327"},
      {Moment(), "aaaa", "Wednesday"},
      {Moment(), "y", "27"},
      {Moment(), "n", "4"},
      {Moment(), "ttttt", "5:04:23 PM"},
      {Moment(), "DD/MM/YYYY", "27/01/1993"},
      {Variant::Date(DateSerial(1900, 1, 1)), "yyy", "001"},
      {Variant::Date(DateSerial(999, 3, 4)), "yyyy", "999"},
      {Variant::Date(DateSerial(1993, 11, 30)), "q", "4"},
      // "m" and "mm" right after an hour are minutes.
      {Moment(), "hh :mm:mm", "17 :04:01"},
      {Moment(), "mm :ss:mm", "01 :23:01"},
      {Moment(), "hh:dd :mm", "17:27 :01"},
      {Moment(), "h\"h\"m", "17h4"},
      {Moment(), "hh:mmm", "17:Jan"},
      // The twelve-hour clock, spelt as written.
      {Moment(), "hh:mm:ss am/pm", "05:04:23 pm"},
      {D(2.725), "hh:nn:ss A/P", "05:24:00 P"},
      {Variant::Date(0), "h AM/PM", "12 AM"},
      {Variant::Date(0.5), "h Am/Pm", "12 Pm"},
      // Negative serials and literals.
      {D(-49192.24), "ddd m/d/yyyy h:nn:ss AM/PM", "Wed 4/24/1765 5:45:36 AM"},
      {Moment(), "\\d\\a\\y d", "day 27"},
      {Moment(), "yyyy\u5E74m\u6708", "1993\u5E741\u6708"},
      {Moment(), "d 0 #", "27 0 #"},
  });
}

TEST(FormatDatePattern, WeekdayAndWeekSettings) {
  const Variant saturday = Variant::Date(0);  // 30 Dec 1899
  EXPECT_EQ(Text(saturday, "w", 1), "7");
  EXPECT_EQ(Text(saturday, "w", 7), "1");
  EXPECT_EQ(Text(saturday, "w", 0), "7");      // the locale's Sunday
  EXPECT_EQ(Text(Moment(), "ww", 0, 0), "5");  // en-US: Sunday and the week of 1 January
  auto week = [](int32_t year, int32_t month, int32_t day, int32_t firstDay, int32_t firstWeek) {
    return Text(Variant::Date(DateSerial(year, month, day)), "ww", firstDay, firstWeek);
  };
  EXPECT_EQ(week(2000, 12, 31, 1, 1), "54");  // the week of 1 January never rolls over
  EXPECT_EQ(week(2010, 1, 1, 2, 2), "53");    // belongs to the last week of 2009
  EXPECT_EQ(week(2003, 12, 29, 2, 2), "53");  // the last Monday: week 53 where ISO says 1
  EXPECT_EQ(week(2003, 12, 30, 2, 2), "1");
  EXPECT_EQ(week(2011, 1, 1, 1, 3), "52");  // a Saturday: before the first full week
  EXPECT_EQ(week(2011, 1, 2, 1, 3), "1");
}

TEST(FormatTextPattern, Placeholders) {
  ExpectRows({
      {Variant("testing"), "&&&&&&&&", "testing"},
      {Variant("testing"), ">&&", "TESTING"},
      {Variant("HELLO"), "<", "hello"},
      {Variant("testing"), "@\\x", "txesting"},
      {Variant("testing"), "<&>&", "testing"},
      {Variant("ab"), "@-@@", " -ab"},
      {Variant("ab"), "!@-@@", "a-b "},
      {Variant("S\u00E3o"), "@@@@@", "  S\u00E3o"},
      {Variant(""), "@;\\e\\m\\p\\t\\y", "empty"},
      {D(1.5), "@@@@@", "  1.5"},
      {Variant("abc"), "\"<\"@\">\"", "<a>bc"},
  });
  EXPECT_EQ(Text(Variant::Null(), "@;\\N\\U\\L\\L"), "NULL");
}

TEST(FormatLocale, GermanEndToEnd) {
  const Locale de = Locale::FromName("de-DE");
  auto text = [&de](const Variant& value, const std::string& pattern) {
    return Format(value, pattern, 1, 1, de).AsString();
  };
  EXPECT_EQ(text(D(1234.5678), "#,##0.00"), "1.234,57");
  EXPECT_EQ(text(Moment(), ""), "27.01.1993 17:04:23");
  EXPECT_EQ(text(Moment(), "dd/mm/yyyy"), "27.01.1993");
  EXPECT_EQ(text(Moment(), "AMPM"), "");
  EXPECT_EQ(text(Moment(), "Medium Time"), "05:04 PM");
  // Group separators are not checked, so this reads as the number 27011993: no date.
  EXPECT_THROW(text(Variant("27.01.1993"), "yyyy-mm-dd"), Error);
  // The locale's week: Monday first, first week with four days (ISO week 4).
  EXPECT_EQ(Format(Moment(), "ww w", 0, 0, de).AsString(), "4 3");
}

}  // namespace
}  // namespace quillet::runtime
