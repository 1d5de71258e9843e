#include "quillet/variant.h"

#include <gtest/gtest.h>

#include "quillet/error.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

TEST(Variant, ReadingTheWrongKindFailsWithItsError) {
  const Error error = test::ErrorOf([] { (void)Variant("12").AsLong(); });
  EXPECT_EQ(error.Number(), 13);
  EXPECT_EQ(error.Description(), "Type mismatch");
  EXPECT_THROW((void)Variant::Integer(1).AsLong(), Error);
  EXPECT_EQ(test::ErrorOf([] { (void)Variant::Null().NumericValue(); }).Description(),
            "Invalid use of Null");
  EXPECT_THROW((void)Variant("1").NumericValue(), Error);
}

}  // namespace
}  // namespace quillet::runtime
