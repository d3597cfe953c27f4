#include "vector3.h"

#include <cmath>

void cross(const double* a, const double* b, double* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

double norm(const double* v, int n) { return std::sqrt(dot(v, v, n)); }

double dot(const double* a, const double* b, int n) {
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += a[i] * b[i];
  return sum;
}

void madd(const double* a, const double* b, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = a[i] + b[i];
}

void msub(const double* a, const double* b, double* out, int n) {
  for (int i = 0; i < n; ++i) out[i] = a[i] - b[i];
}
