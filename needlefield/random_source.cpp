#include "random_source.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Knuth's 64-bit linear congruential generator (MMIX constants); its top 31 bits are the result.
std::uint64_t fallback_state = 1;

}  // namespace

void fallback_srand(unsigned int seed) { fallback_state = seed; }

int fallback_rand() {
  fallback_state = fallback_state * 6364136223846793005u + 1442695040888963407u;
  return static_cast<int>(fallback_state >> 33);
}

#if RAND_MAX == 2147483647

void random_srand(unsigned int seed) { std::srand(seed); }

int random_rand() { return std::rand(); }

#else

void random_srand(unsigned int seed) { fallback_srand(seed); }

int random_rand() { return fallback_rand(); }

#endif
