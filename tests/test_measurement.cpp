#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "console_capture.h"
#include "model/seeding.h"
#include "model/simulation.h"

namespace {

// Replays the generator: the placement draws, then each sensor's knots in turn.
std::vector<double> draws(std::uint32_t seed, int count) {
  seed_generator(seed);
  std::vector<double> values;
  for (int i = 0; i < count; ++i) values.push_back(error(i < 2 ? 0.0025 : 0.1));
  return values;
}

}  // namespace

TEST(MeasurementKnots, first_reading_at_250s_draws_knots_zero_to_three_per_sensor_in_order) {
  seed_generator(99);
  Simulation sim({0.05, 0.1});
  sim.time = 250.0;
  ConsoleCapture capture;
  sim.take_measurement();
  ASSERT_EQ(sim.sensor_offsets[0].size(), 4u);
  ASSERT_EQ(sim.sensor_offsets[1].size(), 4u);
  const std::vector<double> d = draws(99, 2 + 8);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(sim.sensor_offsets[0][k], d[2 + k]);
    EXPECT_EQ(sim.sensor_offsets[1][k], d[6 + k]);
  }
  for (int s = 0; s < 2; ++s) {
    const double offset = 0.5 * sim.sensor_offsets[s][2] + 0.5 * sim.sensor_offsets[s][3];
    EXPECT_DOUBLE_EQ(sim.measurements[s][0], (300.0 - 273.15) + offset);
  }
  EXPECT_EQ(sim.measurement_times, std::vector<double>{250.0});
}

TEST(MeasurementKnots, readings_within_one_interval_draw_no_new_knot_and_interpolate) {
  seed_generator(5);
  Simulation sim({0.05});
  ConsoleCapture capture;
  sim.time = 210.0;
  sim.take_measurement();
  sim.time = 290.0;
  sim.take_measurement();
  const std::vector<double>& knots = sim.sensor_offsets[0];
  ASSERT_EQ(knots.size(), 4u);
  EXPECT_NEAR(sim.measurements[0][1] - 26.85, 0.1 * knots[2] + 0.9 * knots[3], 1e-12);
  sim.time = 300.0;  // on a knot: knot 4 is drawn although it carries no weight yet
  sim.take_measurement();
  ASSERT_EQ(knots.size(), 5u);
  EXPECT_NEAR(sim.measurements[0][2] - 26.85, knots[3], 1e-12);
}

TEST(MeasurementKnots, reading_a_hair_before_a_knot_time_equals_that_knot) {
  seed_generator(8);
  Simulation sim({0.05});
  ConsoleCapture capture;
  sim.time = 299.99999999;
  sim.take_measurement();
  EXPECT_EQ(sim.sensor_offsets[0].size(), 4u);
  EXPECT_NEAR(sim.measurements[0][0] - 26.85, sim.sensor_offsets[0][3], 1e-9);
}

TEST(MeasurementFile, setup_block_uses_entered_locations_and_default_number_format) {
  seed_generator(4);
  Simulation sim({0.1, 0.3});
  std::ostringstream file;
  sim.dump_measurements(file, 0.5, 600, 1200, 5);
  EXPECT_EQ(file.str(),
            "Tavix 2021 Experimental Round\n\nExperimental setup:\n Heater power: 0.5W,\n"
            " Heating duration: 600s,\n\nSensor locations: 10.0cm, 30.0cm.\n\n"
            "| t(s) |  T1(C) |  T2(C) |\n");
}

TEST(MeasurementFile, rows_read_back_match_console_rows_even_past_four_digits) {
  seed_generator(6);
  Simulation sim({0.05});
  ConsoleCapture capture;
  for (double t : {0.0, 5.0, 9999.6, 12345.0}) {
    sim.time = t;
    std::cout << "\r";
    sim.take_measurement();
  }
  std::ostringstream file;
  sim.dump_measurements(file, 150, 600, 1200, 5);
  const std::string console = capture.text();
  std::string rows;
  for (std::size_t pos = 0; (pos = console.find('\r', pos)) != std::string::npos; ++pos) {
    rows += console.substr(pos + 1, console.find('\n', pos) - pos);
  }
  const std::string text = file.str();
  EXPECT_EQ(text.substr(text.find("|    0 |")), rows);
  EXPECT_NE(rows.find("| 10000 | "), std::string::npos);
  // The cells are those rows' fields without their padding.
  std::string unpadded;
  for (const std::vector<std::string>& row : sim.table_cells()) {
    for (const std::string& cell : row) unpadded += "|" + cell;
    unpadded += "|\n";
  }
  rows.erase(std::remove(rows.begin(), rows.end(), ' '), rows.end());
  EXPECT_EQ(unpadded, rows);
}
