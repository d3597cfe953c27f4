#pragma once

#include <cmath>

// x to the fourth power, correctly rounded, at a fraction of the cost of pow(x, 4.0); it differs
// from pow by at most one unit in the last place, and only where pow is not correctly rounded.
//
// x*x is split exactly into p + e and p*p into q + f with Dekker's error-free products
// (no fused multiply-add needed, so every processor gives the same bits); the correction
// f + 2pe then rounds into q once, which gives the correctly rounded result except in cases
// far rarer than the model can meet.
inline double fourth_power(double x) {
  constexpr double splitter = 134217729.0;  // 2^27 + 1 splits a double into two 26-bit halves
  const double cx = splitter * x;
  const double xh = cx - (cx - x);
  const double xl = x - xh;
  const double p = x * x;
  const double e = ((xh * xh - p) + 2.0 * (xh * xl)) + xl * xl;
  const double cp = splitter * p;
  const double ph = cp - (cp - p);
  const double pl = p - ph;
  const double q = p * p;
  const double f = ((ph * ph - q) + 2.0 * (ph * pl)) + pl * pl;
  return q + (f + 2.0 * (p * e));
}

// The same bits as fourth_power: a fused multiply-add yields the same exact product errors e
// and f in one operation each, which pays only where the processor fuses in hardware.
inline double fourth_power_fused(double x) {
  const double p = x * x;
  const double e = std::fma(x, x, -p);
  const double q = p * p;
  const double f = std::fma(p, p, -q);
  return q + (f + 2.0 * (p * e));
}
