#include <cstdio>
#include <iomanip>
#include <iostream>

#include "model/simulation.h"

namespace {

// printf-style pieces go through std::cout so they keep their place among stream insertions.
void print_formatted(std::ostream& out, const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  out << buffer;
}

void write_table_header(std::ostream& out, std::size_t sensors) {
  out << "| t(s) |";
  for (std::size_t i = 1; i <= sensors; ++i) out << "  T" << i << "(C) |";
  out << "\n";
}

}  // namespace

void Simulation::init_measurements() { write_table_header(std::cout, measurements.size()); }

void Simulation::take_measurement() {
  std::cout << "| ";
  print_formatted(std::cout, "%4.0f", time);
  std::cout << " | ";
  for (std::size_t s = 0; s < sensor_locations.size(); ++s) {
    const int k = static_cast<int>(time / 100);
    std::vector<double>& knots = sensor_offsets[s];
    while (knots.size() <= static_cast<std::size_t>(k) + 1) knots.push_back(error(0.1));
    const double f = (time - k * 100) / 100;
    const double offset = knots[k] * (1 - f) + knots[k + 1] * f;
    const double reading = (T[sensor_nodes[s]] - 273.15) + offset;
    print_formatted(std::cout, "%6.1f", reading);
    std::cout << " | ";
    measurements[s].push_back(reading);
  }
  measurement_times.push_back(time);
  std::cout << "\n" << std::flush;
}

void Simulation::dump_measurements(std::ostream& file, double P, double heating_duration,
                                   double /*t_end*/, double /*dt*/) {
  file << "Tavix 2021 Experimental Round\n\n";
  file << "Experimental setup:\n";
  file << " Heater power: " << P << "W,\n";
  file << " Heating duration: " << heating_duration << "s,\n\n";
  file << "Sensor locations: " << std::fixed << std::setprecision(1);
  for (std::size_t i = 0; i < nominal_locations.size(); ++i) {
    file << 100 * nominal_locations[i];
    if (i + 1 < nominal_locations.size()) file << "cm, ";
  }
  file << "cm.\n\n";
  write_table_header(file, measurements.size());
  if (measurements.empty()) return;
  for (std::size_t r = 0; r < measurements[0].size(); ++r) {
    file << "| " << std::setprecision(0) << std::setw(4) << measurement_times[r] << " | ";
    for (const std::vector<double>& sensor : measurements) {
      file << std::setprecision(1) << std::setw(6) << sensor[r] << " | ";
    }
    file << "\n";
  }
}
