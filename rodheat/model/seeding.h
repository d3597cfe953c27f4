#pragma once

#include <cstdint>

// For tests only: fixes the noise generator's seed so that a run's draws are reproducible.
// The programs never call it; they seed from the clock on the first draw.
void seed_generator(std::uint32_t seed);
