#include "profile/profile_program.h"

#include <algorithm>
#include <cmath>

#include "files/atomic_file.h"
#include "profile/profile.h"
#include "profile/profile_svg.h"

const std::vector<int>& picture_instants() {
  // Every cooling curve stays above 4% of the axis, so none of them lies on it.
  static const std::vector<int> instants{10,   20,   50,   100,  200,  2000,
                                         2010, 2050, 2200, 2400, 2700, 3000};
  return instants;
}

ProfileFilesWritten write_profile_files() {
  std::vector<ProfileCurve> curves;
  const std::vector<int>& instants = picture_instants();
  ProfileFilesWritten written;
  written.csv = write_file_atomically("debug.csv", [&](std::ostream& csv) {
    write_profile(
        csv, [](Simulation& sim, double P, double dt) { sim.advance(P, dt); },
        [&](double time, const std::vector<double>& excess) {
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
