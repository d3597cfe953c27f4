#pragma once

// Arithmetic on small vectors held in plain arrays of doubles. The caller owns
// every array; no function checks its arguments. A count n of 0 or less means no components.

// out = a x b (right-handed). out must be separate from a and b.
void cross(const double* a, const double* b, double* out);

// Square root of the sum of v[i]^2 for i = 0 to n-1.
double norm(const double* v, int n);

// Sum of a[i]*b[i] for i = 0 to n-1.
double dot(const double* a, const double* b, int n);

// out[i] = a[i] + b[i] for i = 0 to n-1.
void madd(const double* a, const double* b, double* out, int n);

// out[i] = a[i] - b[i] for i = 0 to n-1.
void msub(const double* a, const double* b, double* out, int n);
