#include "profile.h"

#include <algorithm>
#include <cmath>

#include "atomic_file.h"
#include "profile_svg.h"
#include "simulation.h"

namespace {

void advance_step(Simulation& sim, double P, double dt) { sim.advance(P, dt); }

}  // namespace

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

void write_profile(std::ostream& out, ProfileStep step, const ProfileSink& sink) {
  Simulation sim({});
  const double dt = 0.002;
  out << "t(s),";
  sim.debug_output(out, true);
  for (long i = 0; static_cast<double>(i) < 4000.0 / dt; ++i) {
    if (i % 1000 == 0) {
      out << static_cast<double>(i) * dt << ",";
      sim.debug_output(out, false);
      if (sink) {
        std::vector<double> excess;
        for (int node = 1; node <= 121; ++node) excess.push_back(sim.T[node] - 300.0);
        sink(static_cast<double>(i) * dt, excess);
      }
    }
    step(sim, static_cast<double>(i) < 2000.0 / dt ? 300.0 : 0.0, dt);
  }
}

void debug_output() {
  write_file_atomically("debug.csv", [](std::ostream& file) { write_profile(file, advance_step); });
}

const std::vector<int>& picture_instants() {
  static const std::vector<int> instants{10,   20,   50,   100,  200,  2000,
                                         2010, 2050, 2200, 2400, 3000, 3998};
  return instants;
}

ProfileFilesWritten write_profile_files() {
  std::vector<ProfileCurve> curves;
  const std::vector<int>& instants = picture_instants();
  ProfileFilesWritten written;
  written.csv = write_file_atomically("debug.csv", [&](std::ostream& csv) {
    write_profile(csv, advance_step, [&](double time, const std::vector<double>& excess) {
      // Lines are 2 s apart, so the nearest whole second names the line unambiguously.
      const long second = std::lround(time);
      if (std::find(instants.begin(), instants.end(), second) == instants.end()) return;
      // The line at 2000 s is the field after the last heated step.
      curves.push_back({time, second <= 2000, excess});
    });
  });
  written.svg = write_file_atomically("debug.svg", [&](std::ostream& svg) {
    write_profile_svg(svg, curves,
                      "Rod temperature above 300 K: 300 W heater on until 2000 s, then off");
  });
  return written;
}
