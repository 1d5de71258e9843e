#include "quillet/variant.h"

#include <gtest/gtest.h>

#include "quillet/com_bool.h"
#include "quillet/error.h"
#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

TEST(Variant, EachFactoryMakesItsKind) {
  const struct {
    Variant value;
    VariantKind kind;
    const char* name;
  } rows[] = {
      {Variant(), VariantKind::kEmpty, "Empty"},
      {Variant::Null(), VariantKind::kNull, "Null"},
      {Variant::Integer(-32768), VariantKind::kInteger, "Integer"},
      {Variant::Long(2147483647), VariantKind::kLong, "Long"},
      {Variant::Single(1.5f), VariantKind::kSingle, "Single"},
      {Variant::Double(0.1), VariantKind::kDouble, "Double"},
      {Variant("text"), VariantKind::kString, "String"},
      {Variant::Date(33996.5), VariantKind::kDate, "Date"},
      {Variant::Boolean(true), VariantKind::kBoolean, "Boolean"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(row.value.Kind(), row.kind) << row.name;
    EXPECT_STREQ(KindName(row.value.Kind()), row.name);
  }
}

TEST(Variant, EqualityNeedsTheSameKindAndContent) {
  EXPECT_EQ(Variant::Long(1), Variant::Long(1));
  EXPECT_NE(Variant::Long(1), Variant::Integer(1));
  EXPECT_NE(Variant::Double(33996), Variant::Date(33996));
  EXPECT_NE(Variant(), Variant::Null());
  EXPECT_NE(Variant(""), Variant());
  EXPECT_EQ(Variant::Null(), Variant::Null());
}

TEST(Variant, ReadingTheWrongKindIsATypeMismatch) {
  const Error error = test::ErrorOf([] { (void)Variant("12").AsLong(); });
  EXPECT_EQ(error.Number(), 13);
  EXPECT_EQ(error.Description(), "Type mismatch");
  EXPECT_THROW((void)Variant::Integer(1).AsLong(), Error);
  EXPECT_THROW((void)Variant::Null().AsString(), Error);
}

TEST(Variant, NumericValueOfAllButNullAndText) {
  EXPECT_EQ(Variant().NumericValue(), 0);
  EXPECT_EQ(Variant::Integer(-7).NumericValue(), -7);
  EXPECT_EQ(Variant::Single(2.5f).NumericValue(), 2.5);
  EXPECT_EQ(Variant::Date(-1.25).NumericValue(), -1.25);
  EXPECT_EQ(Variant::Boolean(true).NumericValue(), -1);
  EXPECT_EQ(Variant::Boolean(false).NumericValue(), 0);
  EXPECT_EQ(test::ErrorOf([] { (void)Variant::Null().NumericValue(); }).Description(),
            "Invalid use of Null");
  EXPECT_THROW((void)Variant("1").NumericValue(), Error);
}

TEST(ComBoolean, TrueIsMinusOneAndAnyNonZeroReadsTrue) {
  EXPECT_EQ(ToComBool(true), -1);
  EXPECT_EQ(ToComBool(false), 0);
  for (ComBool value : {ComBool{-1}, ComBool{1}, ComBool{2}, ComBool{-32768}, ComBool{32767}})
    EXPECT_TRUE(FromComBool(value)) << value;
  EXPECT_FALSE(FromComBool(0));
}

}  // namespace
}  // namespace quillet::runtime
