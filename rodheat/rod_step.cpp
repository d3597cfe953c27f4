#include "rod_step.h"

#include "constants.h"
#include "fourth_power.h"

// This unit alone knows the processors: it compiles the step once per instruction set and
// picks one at run time where the processor family has several.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RODHEAT_X86_64_PATHS 1
#else
#define RODHEAT_X86_64_PATHS 0
#endif

#if defined(__FMA__) || defined(__ARM_FEATURE_FMA)
#define RODHEAT_FMA_BY_DEFAULT 1
#else
#define RODHEAT_FMA_BY_DEFAULT 0
#endif

namespace {

constexpr int node_count = 123;
constexpr int last_node = 121;
constexpr int heated_nodes = 13;  // the positions up to 0.03 m
constexpr double dx = 0.0025;

template <bool fused>
inline __attribute__((always_inline)) double power4(double x) {
  return fused ? fourth_power_fused(x) : fourth_power(x);
}

// Written once and compiled per instruction set; -ffp-contract=off keeps every path's
// arithmetic the same, operation for operation, the explicit fused products aside.
template <bool fused>
inline __attribute__((always_inline)) void step_body(double* __restrict t, double P, double dt) {
  constexpr double T_out4 = T_out * T_out * T_out * T_out;  // 8.1e9, exact
  const double gL = 0.006808385579937304 * (t[1] - T_out) +
                    4.304711990595611e-11 * (power4<fused>(t[1]) - T_out4);
  const double gR = -0.006808385579937304 * (t[last_node] - T_out) -
                    4.304711990595611e-11 * (power4<fused>(t[last_node]) - T_out4);
  t[0] = t[2] - 2 * gL * dx;
  t[last_node + 1] = t[last_node - 1] + 2 * gR * dx;

  // All rates come from the field as it stands; the buffer lives on the stack.
  double rate[node_count];
  for (int i = 1; i <= last_node; ++i) {
    double r = 118.23153627594694 * ((t[i + 1] - 2 * t[i]) + t[i - 1]);
    r = r - 0.0010062073583437393 * (t[i] - T_out);
    r = r - 6.36190889842011e-12 * (power4<fused>(t[i]) - T_out4);
    rate[i] = r;
  }
  const double heat = 0.1920178355585535 * P;
  for (int i = 1; i <= heated_nodes; ++i) rate[i] = heat + rate[i];
  for (int i = 1; i <= last_node; ++i) t[i] = rate[i] * dt + t[i];
}

void step_portable(double* T, double P, double dt) {
  step_body<RODHEAT_FMA_BY_DEFAULT != 0>(T, P, dt);
}

#if RODHEAT_X86_64_PATHS

__attribute__((target("avx2"))) void step_avx2(double* T, double P, double dt) {
  step_body<RODHEAT_FMA_BY_DEFAULT != 0>(T, P, dt);
}

__attribute__((target("avx2,fma"))) void step_avx2_fma(double* T, double P, double dt) {
  step_body<true>(T, P, dt);
}

__attribute__((target("avx512f,fma"))) void step_avx512_fma(double* T, double P, double dt) {
  step_body<true>(T, P, dt);
}

bool processor_runs(StepPath path) {
  // Harmless when the features are known already, needed if asked before static constructors.
  __builtin_cpu_init();
  switch (path) {
    case StepPath::portable:
      return true;
    case StepPath::avx2:
      return __builtin_cpu_supports("avx2");
    case StepPath::avx2_fma:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case StepPath::avx512_fma:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("fma");
  }
  return false;
}

void step_on(StepPath path, double* T, double P, double dt) {
  switch (path) {
    case StepPath::avx2:
      step_avx2(T, P, dt);
      return;
    case StepPath::avx2_fma:
      step_avx2_fma(T, P, dt);
      return;
    case StepPath::avx512_fma:
      step_avx512_fma(T, P, dt);
      return;
    case StepPath::portable:
      break;
  }
  step_portable(T, P, dt);
}

#else

bool processor_runs(StepPath path) { return path == StepPath::portable; }

void step_on(StepPath, double* T, double P, double dt) { step_portable(T, P, dt); }

#endif

StepPath fastest_path() {
  StepPath fastest = StepPath::portable;
  for (const StepPath path : all_step_paths) {
    if (processor_runs(path)) fastest = path;
  }
  return fastest;
}

}  // namespace

const char* path_name(StepPath path) {
  switch (path) {
    case StepPath::portable:
      return "portable";
    case StepPath::avx2:
      return "avx2";
    case StepPath::avx2_fma:
      return "avx2+fma";
    case StepPath::avx512_fma:
      return "avx512f+fma";
  }
  return "unknown";
}

bool path_available(StepPath path) { return processor_runs(path); }

void step_field_path(StepPath path, double* T, double P, double dt) { step_on(path, T, P, dt); }

void step_field(double* T, double P, double dt) {
  static const StepPath fastest = fastest_path();
  step_on(fastest, T, P, dt);
}
