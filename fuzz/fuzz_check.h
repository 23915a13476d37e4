#ifndef TEXTRESGEN_FUZZ_FUZZ_CHECK_H_
#define TEXTRESGEN_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>

// A failed property is a crash for libFuzzer, which then keeps the input.
#define FUZZ_CHECK(condition)                                           \
  do {                                                                  \
    if (!(condition)) {                                                 \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__,       \
                   __LINE__, #condition);                               \
      std::abort();                                                     \
    }                                                                   \
  } while (false)

#endif  // TEXTRESGEN_FUZZ_FUZZ_CHECK_H_
