#include <gtest/gtest.h>

#include "vector3.h"

TEST(NeedleVector3, cross_is_right_handed_and_antisymmetric) {
  const double x[3] = {1, 0, 0}, y[3] = {0, 1, 0};
  double out[3];
  cross(x, y, out);
  EXPECT_EQ(out[0], 0.0);
  EXPECT_EQ(out[1], 0.0);
  EXPECT_EQ(out[2], 1.0);
  cross(y, x, out);
  EXPECT_EQ(out[2], -1.0);
}

TEST(NeedleVector3, norm_and_dot_use_only_the_first_n_components) {
  const double v[3] = {3, 4, 12}, a[3] = {1, 2, 3}, b[3] = {4, 5, 6};
  EXPECT_EQ(norm(v, 3), 13.0);
  EXPECT_EQ(norm(v, 2), 5.0);
  EXPECT_EQ(norm(v, 0), 0.0);
  EXPECT_EQ(dot(a, b, 3), 32.0);
  EXPECT_EQ(dot(a, b, 0), 0.0);
}

TEST(NeedleVector3, madd_and_msub_work_per_component_up_to_n) {
  const double a[3] = {5, 5, 5}, b[3] = {1, 2, 3};
  double out[3] = {-1, -1, -1};
  msub(a, b, out, 3);
  EXPECT_EQ(out[0], 4.0);
  EXPECT_EQ(out[1], 3.0);
  EXPECT_EQ(out[2], 2.0);
  madd(a, b, out, 2);
  EXPECT_EQ(out[0], 6.0);
  EXPECT_EQ(out[1], 7.0);
  EXPECT_EQ(out[2], 2.0);  // beyond n: untouched
}
