#pragma once

#include <cstdio>
#include <cstdlib>

// Aborts with the broken invariant's text, so libFuzzer keeps the input that broke it.
#define CHECK(condition)                                                               \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "invariant broken at line %d: %s\n", __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (false)
