#pragma once

#include <functional>
#include <ostream>
#include <vector>

class Simulation;

// How the diagnostic steps its model; the program uses Simulation::advance.
using ProfileStep = void (*)(Simulation& sim, double P, double dt);

// Sees every profile line as it is written: its time (s) and nodes 1 to 121 in K above ambient.
using ProfileSink = std::function<void(double time, const std::vector<double>& excess)>;

// The fixed heating-and-cooling scenario, its whole temperature profile written to out; a sink,
// when given, sees the same lines without changing what is written.
void write_profile(std::ostream& out, ProfileStep step, const ProfileSink& sink = nullptr);

// Runs the scenario and writes the profile to "debug.csv" in the working directory.
void debug_output();

// The instants, in whole seconds, that rodheat-profile draws: the fast rise after switching on
// and the fast levelling after switching off are where the profile changes, so they get most
// of the curves.
const std::vector<int>& picture_instants();

struct ProfileFilesWritten {
  bool csv = false;
  bool svg = false;
};

// What rodheat-profile does: "debug.csv" exactly as debug_output() writes it and, from the same
// run, "debug.svg", a picture of the profile at picture_instants().
ProfileFilesWritten write_profile_files();
