#pragma once

// One explicit step of the rod's 123 node temperatures (ghost nodes included) with heater
// power P (W) and step length dt (s). Picks the widest instruction set the processor has;
// every path gives the same bits.
void step_field(double* T, double P, double dt);

// The path every processor runs.
void step_field_portable(double* T, double P, double dt);

// True when this processor can run step_field_wide.
bool wide_step_available();

// The path for processors with 256-bit vector instructions; call only when available.
void step_field_wide(double* T, double P, double dt);
