// Memory running out while a formatting function works: every allocation from a chosen one on
// fails, as when the process reaches its limit. The function must give back the value it was
// called with, whole, and throw nothing. The texts are longer than a string holds without
// allocating, so that every copy of them can fail too.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "expression/apply_formatting_function.h"
#include "quillet/locale.h"

namespace {

// Allocations this thread may still make before they fail; -1 for no limit.
thread_local long gAllocationsLeft = -1;
thread_local bool gFailed = false;

}  // namespace

void* operator new(std::size_t size) {
  if (gAllocationsLeft == 0) {
    gFailed = true;
    throw std::bad_alloc();
  }
  if (gAllocationsLeft > 0) --gAllocationsLeft;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
  std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace quillet {
namespace {

using runtime::Variant;

TEST(ApplyFormattingFunction, MemoryRunningOutAnywhereGivesBackTheValueWhole) {
  const runtime::Locale& locale = runtime::Locale::EnUs();
  const struct {
    Variant value;
    std::string name;
    Variant argument1;
    Variant argument2;
  } cases[] = {
      {Variant("Africa and the islands"), "Spaces", Variant::Long(300), Variant("")},
      {Variant("Total of all the totals"), "Replace", Variant("TOTAL"), Variant("Sum")},
      {Variant("straße in the old town"), "UCase", Variant(""), Variant("")},
      {Variant("new york county and the city"), "TCase", Variant(""), Variant("")},
      {Variant::Double(1234567.891), "Format", Variant("#,##0.00 \"people\""), Variant("")},
      {Variant::Double(-1234.5), "FormatCurrency", Variant(""), Variant("")},
      {Variant::Date(45000.75), "Format", Variant("dddd d mmmm yyyy hh:nn"), Variant("")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Variant expected = c.value;
    ApplyFormattingFunction(expected, c.name, c.argument1, c.argument2, locale);
    ASSERT_NE(expected, c.value);
    // Allocation n fails, and every one after it, until a run needs fewer.
    for (long n = 0;; ++n) {
      Variant value = c.value;
      bool threw = false;
      gFailed = false;
      gAllocationsLeft = n;
      try {
        ApplyFormattingFunction(value, c.name, c.argument1, c.argument2, locale);
      } catch (...) {
        threw = true;
      }
      gAllocationsLeft = -1;
      EXPECT_FALSE(threw) << "allocation " << n;
      if (!gFailed) {
        EXPECT_EQ(value, expected);
        break;
      }
      EXPECT_EQ(value, c.value) << "allocation " << n;
    }
  }
}

}  // namespace
}  // namespace quillet
