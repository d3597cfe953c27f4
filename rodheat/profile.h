#pragma once

#include <ostream>

class Simulation;

// How the diagnostic steps its model; the program uses Simulation::advance.
using ProfileStep = void (*)(Simulation& sim, double P, double dt);

// The fixed heating-and-cooling scenario, its whole temperature profile written to out.
void write_profile(std::ostream& out, ProfileStep step);

// Runs the scenario and writes the profile to "debug.csv" in the working directory.
void debug_output();
