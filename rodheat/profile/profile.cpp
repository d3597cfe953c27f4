#include "profile/profile.h"

#include <cstdio>

#include "files/atomic_file.h"
#include "model/constants.h"

void Simulation::debug_output(std::ostream& stream, bool header) const {
  // General notation with six digits is what a stream in its default format writes, made here
  // at a fraction of the cost and alike on every platform; each field of at most 13 characters
  // and a comma fit.
  char line[last_node * 14 + 1];
  char* end = line;
  for (int i = 1; i <= last_node; ++i) {
    const double value = header ? static_cast<double>(i - 1) * node_spacing : T[i] - T_out;
    end += std::snprintf(end, static_cast<std::size_t>(line + sizeof line - end), "%.6g", value);
    *end++ = ',';
  }
  *end++ = '\n';
  stream.write(line, end - line);
}

void debug_output() {
  write_file_atomically("debug.csv", [](std::ostream& file) {
    write_profile(file, [](Simulation& sim, double P, double dt) { sim.advance(P, dt); });
  });
}
