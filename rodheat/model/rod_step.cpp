#include "model/rod_step.h"

#include "model/constants.h"
#include "model/fourth_power.h"

// This unit alone knows the processors: it compiles the step once per instruction set and
// picks one at run time where the processor family has several.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define RODHEAT_X86_64_PATHS 1
#else
#define RODHEAT_X86_64_PATHS 0
#endif

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#define RODHEAT_WASM_PAIRS 1
#else
#define RODHEAT_WASM_PAIRS 0
#endif

#if defined(__FMA__) || defined(__ARM_FEATURE_FMA)
#define RODHEAT_FMA_BY_DEFAULT 1
#else
#define RODHEAT_FMA_BY_DEFAULT 0
#endif

namespace {

// The nodes at most heated_length from the heated end, by the baseline's own test.
constexpr int count_heated_nodes() {
  int n = 0;
  while (static_cast<double>(n) * node_spacing <= heated_length) ++n;
  return n;
}
constexpr int heated_nodes = count_heated_nodes();

template <bool fused>
inline __attribute__((always_inline)) double power4(double x) {
  return fused ? fourth_power_fused(x) : fourth_power(x);
}

constexpr double T_out4 = T_out * T_out * T_out * T_out;  // 8.1e9, exact

// The parts of a step below are written once and compiled per instruction set; -ffp-contract=off
// keeps every path's arithmetic the same, operation for operation, the explicit fused products
// aside.

// The ghost nodes from the ends' losses.
template <bool fused>
inline __attribute__((always_inline)) void set_ghost_nodes(double* __restrict t) {
  const double gL =
      end_face_linear * (t[1] - T_out) + end_face_fourth_power * (power4<fused>(t[1]) - T_out4);
  const double gR = -end_face_linear * (t[last_node] - T_out) -
                    end_face_fourth_power * (power4<fused>(t[last_node]) - T_out4);
  t[0] = t[2] - 2 * gL * node_spacing;
  t[last_node + 1] = t[last_node - 1] + 2 * gR * node_spacing;
}

// A node's rate of change from the field as it stands, before the heater. The rod's formula has
// three bodies on purpose: this one (every native path and the browser's plain step), rate_pair
// below (the browser profile's two-node step) and baseline_advance (model/baseline_step.cpp), so
// a change to the physics is made in all three. test_rod_step.cpp holds the paths to the
// baseline, and debug.csv's sha256, pinned in tests/test_profile.cpp and web/test/check.js,
// holds the native and the browser's bodies to the same bytes.
template <bool fused>
inline __attribute__((always_inline)) double node_rate(const double* __restrict t, int i) {
  double r = conduction * ((t[i + 1] - 2 * t[i]) + t[i - 1]);
  r = r - linear_loss * (t[i] - T_out);
  return r - fourth_power_loss * (power4<fused>(t[i]) - T_out4);
}

// The heater's share, then every node moved on by its rate.
inline __attribute__((always_inline)) void apply_rates(double* __restrict t, double* rate, double P,
                                                       double dt) {
  const double heat = heating * P;
  // The caller wrote every node's rate; the checker cannot count its way through that.
  // cppcheck-suppress uninitvar
  for (int i = 1; i <= heated_nodes; ++i) rate[i] = heat + rate[i];
  for (int i = 1; i <= last_node; ++i) t[i] = rate[i] * dt + t[i];
}

template <bool fused>
inline __attribute__((always_inline)) void step_body(double* __restrict t, double P, double dt) {
  set_ghost_nodes<fused>(t);
  // All rates come from the field as it stands; the buffer lives on the stack.
  double rate[node_count];
  for (int i = 1; i <= last_node; ++i) rate[i] = node_rate<fused>(t, i);
  apply_rates(t, rate, P, dt);
}

#if RODHEAT_WASM_PAIRS

// Dekker's exact square on two lanes, as fourth_power does it: x * x = p + e exactly.
inline void exact_square_pair(v128_t x, v128_t& p, v128_t& e) {
  const v128_t cx = wasm_f64x2_mul(wasm_f64x2_splat(134217729.0), x);
  const v128_t xh = wasm_f64x2_sub(cx, wasm_f64x2_sub(cx, x));
  const v128_t xl = wasm_f64x2_sub(x, xh);
  p = wasm_f64x2_mul(x, x);
  e = wasm_f64x2_add(wasm_f64x2_add(wasm_f64x2_sub(wasm_f64x2_mul(xh, xh), p),
                                    wasm_f64x2_mul(wasm_f64x2_splat(2.0), wasm_f64x2_mul(xh, xl))),
                     wasm_f64x2_mul(xl, xl));
}

// fourth_power on two lanes: the same operations in the same order, so the same bits.
inline v128_t fourth_power_pair(v128_t x) {
  v128_t p, e, q, f;
  exact_square_pair(x, p, e);
  exact_square_pair(p, q, f);
  return wasm_f64x2_add(
      q, wasm_f64x2_add(f, wasm_f64x2_mul(wasm_f64x2_splat(2.0), wasm_f64x2_mul(p, e))));
}

// node_rate two nodes at a time, which the compiler does not find by itself: one of the formula's
// three bodies (see node_rate).
inline void rate_pair(const double* __restrict t, double* rate, int at) {
  const v128_t here = wasm_v128_load(t + at);
  v128_t r = wasm_f64x2_mul(
      wasm_f64x2_splat(conduction),
      wasm_f64x2_add(
          wasm_f64x2_sub(wasm_v128_load(t + at + 1), wasm_f64x2_mul(wasm_f64x2_splat(2.0), here)),
          wasm_v128_load(t + at - 1)));
  r = wasm_f64x2_sub(r, wasm_f64x2_mul(wasm_f64x2_splat(linear_loss),
                                       wasm_f64x2_sub(here, wasm_f64x2_splat(T_out))));
  r = wasm_f64x2_sub(
      r, wasm_f64x2_mul(wasm_f64x2_splat(fourth_power_loss),
                        wasm_f64x2_sub(fourth_power_pair(here), wasm_f64x2_splat(T_out4))));
  wasm_v128_store(rate + at, r);
}

void step_portable(double* __restrict t, double P, double dt) {
  set_ghost_nodes<false>(t);
  double rate[node_count];
  int i = 1;
  // Four pairs at once: their long chains of dependent operations overlap.
  for (; i + 7 <= last_node; i += 8) {
    rate_pair(t, rate, i);
    rate_pair(t, rate, i + 2);
    rate_pair(t, rate, i + 4);
    rate_pair(t, rate, i + 6);
  }
  for (; i + 1 <= last_node; i += 2) rate_pair(t, rate, i);
  for (; i <= last_node; ++i) rate[i] = node_rate<false>(t, i);
  apply_rates(t, rate, P, dt);
}

#else

void step_portable(double* T, double P, double dt) {
  step_body<RODHEAT_FMA_BY_DEFAULT != 0>(T, P, dt);
}

#endif

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
