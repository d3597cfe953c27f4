#pragma once

// The instruction sets one step can be compiled for; every path gives the same bits.
enum class StepPath { portable, avx2, avx2_fma, avx512_fma };

constexpr StepPath all_step_paths[] = {StepPath::portable, StepPath::avx2, StepPath::avx2_fma,
                                       StepPath::avx512_fma};

// A short name for reports, such as "avx2+fma".
const char* path_name(StepPath path);

// True when this build and this processor can run the path; the portable one always can.
bool path_available(StepPath path);

// One explicit step of the rod's 123 node temperatures (ghost nodes included) with heater
// power P (W) and step length dt (s) on the given path; call only when it is available.
void step_field_path(StepPath path, double* T, double P, double dt);

// The same step on the fastest path this processor has.
void step_field(double* T, double P, double dt);
