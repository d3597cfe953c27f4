#include "profile.h"

#include <fstream>

#include "simulation.h"

void Simulation::debug_output(std::ostream& stream, bool header) const {
  for (int i = 1; i <= 121; ++i) {
    if (header) {
      stream << static_cast<double>(i - 1) * 0.0025 << ",";
    } else {
      stream << T[i] - 300.0 << ",";
    }
  }
  stream << "\n";
}

void write_profile(std::ostream& out, ProfileStep step) {
  Simulation sim({});
  const double dt = 0.002;
  out << "t(s),";
  sim.debug_output(out, true);
  for (long i = 0; static_cast<double>(i) < 4000.0 / dt; ++i) {
    if (i % 1000 == 0) {
      out << static_cast<double>(i) * dt << ",";
      sim.debug_output(out, false);
    }
    step(sim, static_cast<double>(i) < 2000.0 / dt ? 300.0 : 0.0, dt);
  }
}

void debug_output() {
  std::ofstream file("debug.csv");
  write_profile(file, [](Simulation& sim, double P, double dt) { sim.advance(P, dt); });
}
