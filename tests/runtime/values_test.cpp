// The public value types: Variant, the 1-based collections and the locale.
#include <gtest/gtest.h>

#include <string>

#include "quillet/collection.h"
#include "quillet/error.h"
#include "quillet/locale.h"
#include "quillet/variant.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

using test::ErrorOf;

TEST(Variant, ReadingTheWrongKindFails) {
  EXPECT_EQ(test::ErrorNumberOf([] { (void)Variant("12").AsLong(); }), Error::kTypeMismatch);
  EXPECT_THROW((void)Variant::Integer(1).AsLong(), Error);
  EXPECT_EQ(ErrorOf([] { (void)Variant::Null().NumericValue(); }).Description(),
            "Invalid use of Null");
  EXPECT_THROW((void)Variant("1").NumericValue(), Error);
}

// Positions from 1; keys compare without regard to case and are unique.
TEST(Collection, PositionsAndKeys) {
  Collection<int> summary;
  summary.Add(10, "Sum");
  summary.Add(20, "Bevölkerung");
  EXPECT_EQ(summary.Item(1), 10);
  EXPECT_EQ(summary.Item(2), 20);
  EXPECT_EQ(summary.Item("sum"), 10);
  EXPECT_EQ(summary.Item("BEVÖLKERUNG"), 20);
  EXPECT_FALSE(summary.Contains("Average"));
  for (int32_t position : {0, 3}) {
    const Error error = ErrorOf([&] { (void)summary.Item(position); });
    EXPECT_EQ(error.Number(), 9) << position;
    EXPECT_EQ(error.Description(), "Subscript out of range");
  }
  const Error missing = ErrorOf([&] { (void)summary.Item("Average"); });
  EXPECT_EQ(missing.Number(), 5);
  EXPECT_EQ(missing.Description(), "Invalid procedure call or argument");
  const Error twice = ErrorOf([&] { summary.Add(2, "SUM"); });
  EXPECT_EQ(twice.Number(), 457);
  EXPECT_EQ(twice.Description(),
            "This key is already associated with an element of this collection");
  EXPECT_EQ(summary.Count(), 2);
}

// en-US is the classic profile, not CLDR's (whose negative currency and short date differ);
// other locales take CLDR's patterns and modes rewritten in the runtime's letters, and the rest
// of a locale shows in the results of Format, FormatNumber and FormatCurrency.
TEST(Locale, ByName) {
  const Locale en = Locale::FromName("EN_us");
  EXPECT_EQ(en.name, "en-US");
  EXPECT_EQ(en.negativeCurrencyMode, 0);
  EXPECT_EQ(en.shortDatePattern, "M/d/yyyy");
  const Locale fr = Locale::FromName("fr_FR");
  EXPECT_EQ(fr.name, "fr-FR");
  EXPECT_EQ(fr.negativeCurrencyMode, 8);
  EXPECT_EQ(fr.longDatePattern, "dddd d MMMM yyyy");
  EXPECT_EQ(Locale::FromName("nl-NL").positiveCurrencyMode, 2);
  EXPECT_EQ(Locale::FromName("ko-KR").longTimePattern, "tt h:mm:ss");
  for (const char* name : {"xx-YY", "", "not a locale", "-", "de-DE-x-"}) {
    EXPECT_EQ(ErrorOf([&] { Locale::FromName(name); }).Description(),
              std::string("Unknown locale: ") + name);
  }
}

}  // namespace
}  // namespace quillet::runtime
