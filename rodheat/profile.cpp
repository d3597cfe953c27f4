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

void debug_output() {
  Simulation sim({});
  std::ofstream file("debug.csv");
  const double dt = 0.002;
  file << "t(s),";
  sim.debug_output(file, true);
  for (long i = 0; static_cast<double>(i) < 4000.0 / dt; ++i) {
    if (i % 1000 == 0) {
      file << static_cast<double>(i) * dt << ",";
      sim.debug_output(file, false);
    }
    sim.advance(static_cast<double>(i) < 2000.0 / dt ? 300.0 : 0.0, dt);
  }
}
