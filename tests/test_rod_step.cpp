#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "model/baseline_step.h"
#include "model/fourth_power.h"
#include "model/rod_step.h"
#include "model/simulation.h"

namespace {

std::vector<std::uint32_t> square(const std::vector<std::uint32_t>& a) {
  std::vector<std::uint32_t> r(2 * a.size(), 0);
  for (std::size_t i = 0; i < a.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < a.size(); ++j) {
      const std::uint64_t sum = r[i + j] + std::uint64_t{a[i]} * a[j] + carry;
      r[i + j] = static_cast<std::uint32_t>(sum);
      carry = sum >> 32;
    }
    r[i + a.size()] = static_cast<std::uint32_t>(carry);
  }
  return r;
}

bool bit(const std::vector<std::uint32_t>& n, int i) { return (n[i / 32] >> (i % 32)) & 1u; }

// x^4 rounded to nearest, ties to even, from the exact 212-bit fourth power of x's mantissa:
// a reference that no platform's pow can put off.
double exact_fourth_power(double x) {
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(x), &exponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  const std::vector<std::uint32_t> n = square(
      square({static_cast<std::uint32_t>(mantissa), static_cast<std::uint32_t>(mantissa >> 32)}));
  int bits = static_cast<int>(32 * n.size());
  while (!bit(n, bits - 1)) --bits;
  const int dropped = bits - 53;
  std::uint64_t kept = 0;
  for (int i = bits - 1; i >= dropped; --i) kept = (kept << 1) | std::uint64_t{bit(n, i)};
  bool below_half = false;
  for (int i = 0; i < dropped - 1; ++i) below_half = below_half || bit(n, i);
  if (bit(n, dropped - 1) && (below_half || (kept & 1u) != 0)) ++kept;
  return std::ldexp(static_cast<double>(kept), 4 * (exponent - 53) + dropped);
}

void heat_then_cool(Simulation& sim, void (*step)(Simulation&, double, double), long steps) {
  for (long i = 0; i < steps; ++i) step(sim, i < steps / 2 ? 300.0 : 0.0, 0.002);
}

void product_step(Simulation& sim, double P, double dt) { sim.advance(P, dt); }

}  // namespace

TEST(FourthPower, both_forms_are_correctly_rounded_over_the_model_range) {
  std::mt19937_64 random(42);
  std::uniform_real_distribution<double> kelvin(300.0, 1200.0);
  for (int n = 0; n < 2000000; ++n) {
    const double x = n < 1000 ? 300.0 + 0.9 * n : kelvin(random);
    const double expected = exact_fourth_power(x);
    ASSERT_EQ(fourth_power(x), expected) << "x = " << x;
    ASSERT_EQ(fourth_power_fused(x), expected) << "x = " << x;
  }
  EXPECT_EQ(exact_fourth_power(300.0), 8.1e9);
  EXPECT_EQ(fourth_power(300.0), 8.1e9);
}

TEST(RodStep, every_path_and_platform_gives_the_same_bits_throughout_the_diagnostic_run) {
  for (const StepPath path : all_step_paths) {
    if (!path_available(path)) continue;
    // FNV-1a over the field's bits every thousand steps, from the lowest byte up on any machine.
    std::vector<double> field(123, T_out);
    std::uint64_t hash = 14695981039346656037u;
    for (long i = 0; i < 2000000; ++i) {
      step_field_path(path, field.data(), i < 1000000 ? 300.0 : 0.0, 0.002);
      for (std::size_t n = 0; i % 1000 == 0 && n < field.size(); ++n) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &field[n], sizeof bits);
        for (int byte = 0; byte < 8; ++byte)
          hash = (hash ^ ((bits >> (8 * byte)) & 0xffu)) * 1099511628211u;
      }
    }
    EXPECT_EQ(hash, 549224091174804379u) << path_name(path);
  }
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
