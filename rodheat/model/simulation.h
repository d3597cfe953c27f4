#pragma once

#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "model/constants.h"

// The single noise source of the program; created by the first draw and never reseeded.
extern std::mt19937 generator;

// One normal deviate with mean 0 and standard deviation sigma.
double error(double sigma);

class Simulation {
 public:
  explicit Simulation(std::vector<double> locations);
  Simulation(const Simulation&) = delete;
  Simulation& operator=(const Simulation&) = delete;

  // One explicit step of length dt (s) with heater power P (W).
  void advance(double P, double dt);

  // Measurement log: console header, one noisy row, and the results file.
  void init_measurements();
  void take_measurement();
  void dump_measurements(std::ostream& file, double P, double heating_duration, double t_end,
                         double dt);
  // The results file's table row by row: the time, then each sensor's reading, as
  // dump_measurements writes them but without their padding ("5", "23.4", "-0.1").
  std::vector<std::vector<std::string>> table_cells() const;

  // One line of the temperature profile (or of node positions when header is true).
  void debug_output(std::ostream& stream, bool header) const;

  std::vector<double> sensor_locations;
  std::vector<double> nominal_locations;
  std::vector<std::vector<double>> sensor_offsets;
  std::vector<int> sensor_nodes;
  std::vector<std::vector<double>> measurements;
  std::vector<double> measurement_times;
  double time = 0.0;
  std::vector<double> T;
};
