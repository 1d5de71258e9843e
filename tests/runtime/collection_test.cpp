#include "quillet/collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/en_us.h"
#include "support/error_of.h"

namespace quillet::runtime {
namespace {

using test::ErrorOf;

TEST(Collection, ItemsAreReadByPositionFromOne) {
  Collection<std::string> labels;
  labels.Add("first");
  labels.Add("second");
  EXPECT_EQ(labels.Count(), 2);
  EXPECT_EQ(labels.Item(1), "first");
  EXPECT_EQ(labels.Item(2), "second");
  EXPECT_EQ(std::vector<std::string>(labels.begin(), labels.end()),
            (std::vector<std::string>{"first", "second"}));
}

TEST(Collection, PositionsOutsideTheItemsAreOutOfRange) {
  Collection<std::string> labels;
  labels.Add("only");
  for (int32_t position : {0, 2, -1}) {
    const Error error = ErrorOf([&] { (void)labels.Item(position); });
    EXPECT_EQ(error.Number(), 9) << position;
    EXPECT_EQ(error.Description(), "Subscript out of range");
  }
  EXPECT_EQ(ErrorOf([] { (void)Collection<int>().Item(1); }).Number(), 9);
}

TEST(Collection, KeysCompareWithoutRegardToCaseAndMissingOnesAreInvalid) {
  Collection<int> summary;
  summary.Add(10, "Sum");
  summary.Add(20, "Bevölkerung");
  EXPECT_EQ(summary.Item("SUM"), 10);
  EXPECT_EQ(summary.Item("sum"), 10);
  EXPECT_EQ(summary.Item("BEVÖLKERUNG"), 20);
  EXPECT_TRUE(summary.Contains("bevölkerung"));
  EXPECT_FALSE(summary.Contains("Average"));
  const Error missing = ErrorOf([&] { (void)summary.Item("Average"); });
  EXPECT_EQ(missing.Number(), 5);
  EXPECT_EQ(missing.Description(), "Invalid procedure call or argument");
}

TEST(Collection, APresentKeyCannotBeAddedAgain) {
  Collection<int> fields;
  fields.Add(1, "Pop");
  const Error error = ErrorOf([&] { fields.Add(2, "POP"); });
  EXPECT_EQ(error.Number(), 457);
  EXPECT_EQ(error.Description(),
            "This key is already associated with an element of this collection");
  EXPECT_EQ(fields.Count(), 1);
  EXPECT_EQ(fields.Item("pop"), 1);
}

}  // namespace
}  // namespace quillet::runtime
