#pragma once

#include <ostream>
#include <string>
#include <vector>

// One instant of the diagnostic's profile, as the picture draws it.
struct ProfileCurve {
  double time = 0.0;           // s
  bool heating = false;        // whether the heater was on at that instant
  std::vector<double> excess;  // K above ambient, nodes 1 to 121 (x = 0 to 30 cm in 0.25 cm steps)
};

// A standalone SVG line chart of the curves along the rod, with axes, units and a legend.
void write_profile_svg(std::ostream& out, const std::vector<ProfileCurve>& curves,
                       const std::string& title);
