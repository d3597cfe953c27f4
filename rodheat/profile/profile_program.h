#pragma once

#include <vector>

// What rodheat-profile writes and draws.

// The instants, in whole seconds, that rodheat-profile draws: the fast rise after switching on
// and the fast levelling after switching off are where the profile changes, so they get most
// of the curves.
const std::vector<int>& picture_instants();

struct ProfileFilesWritten {
  bool csv = false;
  bool svg = false;
};

// "debug.csv" exactly as debug_output() writes it and, from the same run, "debug.svg", a
// picture of the profile at picture_instants().
ProfileFilesWritten write_profile_files();
