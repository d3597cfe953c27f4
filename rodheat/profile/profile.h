#pragma once

#include <ostream>
#include <vector>

#include "model/constants.h"
#include "model/simulation.h"

// The diagnostic's fixed scenario: profile_power (W) until profile_heating_end (s), then none
// until profile_end (s), with the whole temperature profile written every
// profile_steps_per_line steps (2 s).
constexpr double profile_power = 300.0;
constexpr double profile_heating_end = 2000.0;
constexpr double profile_end = 4000.0;
constexpr long profile_steps_per_line = 1000;

// Runs the scenario into out. step(sim, P, dt) advances the model (the program passes
// Simulation::advance); on_line sees each profile line as it is written: its time (s) and
// nodes 1 to last_node in K above ambient.
template <class Step, class OnLine>
void write_profile(std::ostream& out, Step step, OnLine on_line) {
  Simulation sim({});
  const double dt = time_step;
  out << "t(s),";
  sim.debug_output(out, true);
  for (long i = 0; static_cast<double>(i) < profile_end / dt; ++i) {
    if (i % profile_steps_per_line == 0) {
      out << static_cast<double>(i) * dt << ",";
      sim.debug_output(out, false);
      std::vector<double> excess;
      for (int node = 1; node <= last_node; ++node) excess.push_back(sim.T[node] - T_out);
      on_line(static_cast<double>(i) * dt, excess);
    }
    step(sim, static_cast<double>(i) < profile_heating_end / dt ? profile_power : 0.0, dt);
  }
}

template <class Step>
void write_profile(std::ostream& out, Step step) {
  write_profile(out, step, [](double, const std::vector<double>&) {});
}

// Runs the scenario and writes the profile to "debug.csv" in the working directory.
void debug_output();
