#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "baseline_step.h"
#include "fourth_power.h"
#include "profile.h"
#include "rod_step.h"
#include "simulation.h"

namespace {

double ulp_of(double x) { return std::nextafter(x, INFINITY) - x; }

void heat_then_cool(Simulation& sim, void (*step)(Simulation&, double, double), long steps) {
  for (long i = 0; i < steps; ++i) step(sim, i < steps / 2 ? 300.0 : 0.0, 0.002);
}

void product_step(Simulation& sim, double P, double dt) { sim.advance(P, dt); }

}  // namespace

TEST(FourthPower, stays_within_one_ulp_of_pow_over_the_model_range) {
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> kelvin(300.0, 1200.0);
  long differing = 0;
  for (int n = 0; n < 2000000; ++n) {
    const double x = n < 1000 ? 300.0 + 0.9 * n : kelvin(random);
    const double expected = std::pow(x, 4.0);
    const double got = fourth_power(x);
    ASSERT_LE(std::fabs(got - expected), ulp_of(expected)) << "x = " << x;
    differing += got != expected;
  }
  // Bit-exact almost everywhere: the rare differences are where pow itself rounds the wrong way.
  EXPECT_LT(differing, 2000000 / 100);
  EXPECT_EQ(fourth_power(300.0), 8.1e9);
}

TEST(RodStep, wide_and_portable_paths_give_identical_bits) {
  if (!wide_step_available()) GTEST_SKIP() << "this processor has no 256-bit vector path";
  Simulation portable({}), wide({});
  for (int i = 0; i < 200000; ++i) {
    const double P = i < 100000 ? 300.0 : 0.0;
    step_field_portable(portable.T.data(), P, 0.002);
    step_field_wide(wide.T.data(), P, 0.002);
  }
  EXPECT_EQ(portable.T, wide.T);
}

TEST(RodStep, product_step_tracks_the_baseline_over_a_long_heated_and_cooled_run) {
  Simulation product({}), baseline({});
  heat_then_cool(product, product_step, 1000000);
  heat_then_cool(baseline, baseline_advance, 1000000);
  for (int i = 0; i < 123; ++i) {
    EXPECT_NEAR(product.T[i], baseline.T[i], 1e-12 * std::fabs(baseline.T[i])) << "node " << i;
  }
  EXPECT_EQ(product.time, baseline.time);
}

TEST(RodStep, diagnostic_is_byte_identical_with_the_baseline_step) {
  std::ostringstream product, baseline;
  write_profile(product, product_step);
  write_profile(baseline, baseline_advance);
  EXPECT_EQ(product.str().size(), baseline.str().size());
  EXPECT_TRUE(product.str() == baseline.str());
}
