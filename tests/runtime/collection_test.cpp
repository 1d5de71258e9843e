#include "quillet/collection.h"

#include <gtest/gtest.h>

#include <string>

#include "support/error_of.h"

namespace quillet::runtime {
namespace {

using test::ErrorOf;

TEST(Collection, ItemsAreReadByPositionFromOne) {
  Collection<std::string> labels;
  labels.Add("first");
  labels.Add("second");
  EXPECT_EQ(labels.Item(1), "first");
  EXPECT_EQ(labels.Item(2), "second");
  for (int32_t position : {0, 3, -1}) {
    const Error error = ErrorOf([&] { (void)labels.Item(position); });
    EXPECT_EQ(error.Number(), 9) << position;
    EXPECT_EQ(error.Description(), "Subscript out of range");
  }
}

TEST(Collection, KeysCompareWithoutRegardToCaseAndAreUnique) {
  Collection<int> summary;
  summary.Add(10, "Sum");
  summary.Add(20, "Bevölkerung");
  EXPECT_EQ(summary.Item("sum"), 10);
  EXPECT_EQ(summary.Item("BEVÖLKERUNG"), 20);
  EXPECT_FALSE(summary.Contains("Average"));
  const Error missing = ErrorOf([&] { (void)summary.Item("Average"); });
  EXPECT_EQ(missing.Number(), 5);
  EXPECT_EQ(missing.Description(), "Invalid procedure call or argument");
  const Error twice = ErrorOf([&] { summary.Add(2, "SUM"); });
  EXPECT_EQ(twice.Number(), 457);
  EXPECT_EQ(twice.Description(),
            "This key is already associated with an element of this collection");
  EXPECT_EQ(summary.Count(), 2);
}

}  // namespace
}  // namespace quillet::runtime
