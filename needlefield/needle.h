#pragma once

#include <cstdio>

// The needle measurement loop of needlefield.

// PHI in degrees (before the "%5.0f" rounding of the output) for the rounded current I (A)
// and the needle's final position X, Y (mm): the direction of the X-Y part of the wire's
// field plus the background field, measured from +Y toward +X, between -180 and 180.
double needle_phi(double I, double X, double Y);

// The whole dialogue: seeds random_rand() with seed, then asks for I, X and Y and prints PHI
// until a current beyond the limit or the end of input. Reads tokens from in, each taken only
// when it is a number as a whole, with "%lf"'s value (any other token is refused with a
// message and its line discarded); writes everything to out with
// printf-style calls, flushing before each read, and hands each pass whose angle it printed to
// hand_over_pass.
// Returns the exit status, always 0.
int needle_loop(std::FILE* in, std::FILE* out, unsigned int seed);
