#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run on a broken property, so that the fuzzer keeps the input as a crash.
inline void require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}
