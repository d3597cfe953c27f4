#include <cstdio>
#include <iomanip>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "model/simulation.h"

namespace {

// printf-style pieces go through std::cout so they keep their place among stream insertions.
void print_formatted(std::ostream& out, const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  out << buffer;
}

std::string formatted(const char* format, double value) {
  // Wide enough for the widest double, 309 digits before the point.
  char buffer[320];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
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
  // Written from table_cells itself, so that the file and its cells cannot disagree.
  for (const std::vector<std::string>& row : table_cells()) {
    file << "| " << std::setw(4) << row[0] << " | ";
    for (std::size_t s = 1; s < row.size(); ++s) file << std::setw(6) << row[s] << " | ";
    file << "\n";
  }
}

std::vector<std::vector<std::string>> Simulation::table_cells() const {
  std::vector<std::vector<std::string>> rows;
  // A table without sensors has no rows.
  const std::size_t count = measurements.empty() ? 0 : measurements[0].size();
  for (std::size_t r = 0; r < count; ++r) {
    std::vector<std::string> row{formatted("%.0f", measurement_times[r])};
    for (const std::vector<double>& sensor : measurements) {
      row.push_back(formatted("%.1f", sensor[r]));
    }
    rows.push_back(std::move(row));
  }
  return rows;
}
