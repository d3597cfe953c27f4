#pragma once

// needlefield's random numbers: srand/rand semantics (same seed, same sequence) with results
// from 0 to 2147483647 on every platform.

void random_srand(unsigned int seed);
int random_rand();

// The program's own generator, which random_rand uses where the standard rand() has a smaller
// range; reachable by name so that it can be checked on every platform.
void fallback_srand(unsigned int seed);
int fallback_rand();
