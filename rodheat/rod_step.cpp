#include "rod_step.h"

#include "fourth_power.h"
#include "simulation.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RODHEAT_HAS_WIDE_PATH 1
#else
#define RODHEAT_HAS_WIDE_PATH 0
#endif

namespace {

constexpr int node_count = 123;
constexpr int last_node = 121;
constexpr int heated_nodes = 13;  // the positions up to 0.03 m
constexpr double dx = 0.0025;

// Written once and compiled per instruction set; -ffp-contract=off keeps every path's
// arithmetic the same, operation for operation.
inline __attribute__((always_inline)) void step_body(double* __restrict t, double P, double dt) {
  constexpr double T_out4 = T_out * T_out * T_out * T_out;  // 8.1e9, exact
  const double gL =
      0.006808385579937304 * (t[1] - T_out) + 4.304711990595611e-11 * (fourth_power(t[1]) - T_out4);
  const double gR = -0.006808385579937304 * (t[last_node] - T_out) -
                    4.304711990595611e-11 * (fourth_power(t[last_node]) - T_out4);
  t[0] = t[2] - 2 * gL * dx;
  t[last_node + 1] = t[last_node - 1] + 2 * gR * dx;

  // All rates come from the field as it stands; the buffer lives on the stack.
  double rate[node_count];
  for (int i = 1; i <= last_node; ++i) {
    double r = 118.23153627594694 * ((t[i + 1] - 2 * t[i]) + t[i - 1]);
    r = r - 0.0010062073583437393 * (t[i] - T_out);
    r = r - 6.36190889842011e-12 * (fourth_power(t[i]) - T_out4);
    rate[i] = r;
  }
  const double heat = 0.1920178355585535 * P;
  for (int i = 1; i <= heated_nodes; ++i) rate[i] = heat + rate[i];
  for (int i = 1; i <= last_node; ++i) t[i] = rate[i] * dt + t[i];
}

}  // namespace

void step_field_portable(double* T, double P, double dt) { step_body(T, P, dt); }

#if RODHEAT_HAS_WIDE_PATH

__attribute__((target("avx2"))) void step_field_wide(double* T, double P, double dt) {
  step_body(T, P, dt);
}

bool wide_step_available() {
  static const bool available = __builtin_cpu_supports("avx2");
  return available;
}

#else

void step_field_wide(double* T, double P, double dt) { step_body(T, P, dt); }

bool wide_step_available() { return false; }

#endif

void step_field(double* T, double P, double dt) {
  if (wide_step_available()) {
    step_field_wide(T, P, dt);
  } else {
    step_field_portable(T, P, dt);
  }
}
