#include "runtime/text_form.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "quillet/error.h"
#include "runtime/date.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

TEST(ToText, Doubles) {
  const std::vector<std::pair<double, std::string>> rows = {
      {437.324, "437.324"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {-35.3632621, "-35.3632621"},
      {999999999999999, "999999999999999"},
      {1234567890123456, "1.23456789012346E+15"},
      {999999999999999.9, "1E+15"},
      {1E15, "1E+15"},
      {0.0000056789, "0.0000056789"},
      {5.6789E-11, "0.000000000056789"},
      {5.6789E-12, "5.6789E-12"},
      {1.7976931348623157E308, "1.79769313486232E+308"},
      {-0.0, "0"},
      {1E14, "100000000000000"},
  };
  for (const auto& [value, text] : rows)
    EXPECT_EQ(ToText(Variant::Double(value), Locale::EnUs()), text) << text;
}

TEST(ToText, SinglesAndOtherKinds) {
  const std::vector<std::pair<Variant, std::string>> rows = {
      {Variant::Single(75.3421115f), "75.34211"},
      {Variant::Single(1E8f), "1E+08"},
      {Variant::Single(654322.25f), "654322.3"},
      {Variant::Single(1234567.f), "1234567"},
      {Variant::Long(2147483647), "2147483647"},
      {Variant::Boolean(true), "True"},
      {Variant::Boolean(false), "False"},
      {Variant::Empty(), ""},
      {Variant::Null(), ""},
      {Variant("as is "), "as is "},
  };
  for (const auto& [value, text] : rows)
    EXPECT_EQ(ToText(value, Locale::EnUs()), text) << KindName(value.Kind()) << " " << text;
}

TEST(ToText, Dates) {
  const double day = DateSerial(1993, 1, 27);
  const double time = TimeSerial(17, 4, 23);
  const std::vector<std::pair<double, std::string>> rows = {
      {day + time, "1/27/1993 5:04:23 PM"},
      {day, "1/27/1993"},
      {time, "5:04:23 PM"},
      {0, "12:00:00 AM"},
      {-49192.24, "4/24/1765 5:45:36 AM"},
      {day + 1e-13, "1/27/1993"},
      {DateSerial(2000, 2, 29) + 0.5, "2/29/2000 12:00:00 PM"},
  };
  for (const auto& [serial, text] : rows)
    EXPECT_EQ(ToText(Variant::Date(serial), Locale::EnUs()), text) << text;
  // Beyond 31 Dec 9999 no date has a text; far beyond, its day count would not fit an integer.
  for (const double serial : {DateSerial(10000, 1, 1), 6.08847e+247})
    EXPECT_EQ(test::ErrorNumberOf([&] { ToText(Variant::Date(serial), Locale::EnUs()); }), 5);
}

// German dates are checked through Format with no pattern.
TEST(ToText, GermanSeparators) {
  const Locale de = Locale::FromName("de-DE");
  EXPECT_EQ(ToText(Variant::Double(1234.5678), de), "1234,5678");
  EXPECT_EQ(ToText(Variant::Double(1.25E-20), de), "1,25E-20");
}

}  // namespace
}  // namespace quillet::runtime
