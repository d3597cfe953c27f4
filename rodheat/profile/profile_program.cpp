#include "profile/profile_program.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core_dump.h"
#include "files/atomic_file.h"
#include "platform/platform.h"
#include "profile/profile.h"
#include "profile/profile_svg.h"

namespace {

// A number of the scenario as the title names it, whatever the stream's locale.
std::string shortest(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

}  // namespace

const std::vector<int>& picture_instants() {
  // Every cooling curve stays above 4% of the axis, so none of them lies on it.
  static const std::vector<int> instants{10,   20,   50,   100,  200,  2000,
                                         2010, 2050, 2200, 2400, 2700, 3000};
  return instants;
}

ProfileFilesWritten write_profile_files() {
  // A file-size limit fails the write, reported as such; no signal leaves a core file here.
  survive_file_size_limit();
  end_without_core_dump();
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
          // The line at the heating's end is the field after the last heated step.
          curves.push_back({time, static_cast<double>(second) <= profile_heating_end, excess});
        });
  });
  written.svg = write_file_atomically("debug.svg", [&](std::ostream& svg) {
    write_profile_svg(svg, curves,
                      "Rod temperature above " + shortest(T_out) +
                          " K: " + shortest(profile_power) + " W heater on until " +
                          shortest(profile_heating_end) + " s, then off");
  });
  return written;
}
