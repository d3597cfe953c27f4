#include "model/simulation.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "model/rod_step.h"
#include "model/seeding.h"

std::mt19937 generator;

namespace {

std::once_flag generator_created;

void create_generator() {
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  generator.seed(static_cast<std::uint32_t>(micros));
}

}  // namespace

double error(double sigma) {
  std::call_once(generator_created, create_generator);
  std::normal_distribution<double> distribution(0.0, sigma);
  return distribution(generator);
}

void seed_generator(std::uint32_t seed) {
  // Consumes the one-time creation so that a later first draw does not reseed from the clock.
  std::call_once(generator_created, [] {});
  generator.seed(seed);
}

// The locations come by value; the model keeps them twice, as typed and as placed.
// cppcheck-suppress passedByValue
Simulation::Simulation(std::vector<double> locations)
    : sensor_locations(locations), nominal_locations(locations), T(node_count, T_out) {
  for (double& location : sensor_locations) {
    location += error(0.0025);
    location = std::max(std::min(location, rod_length), 0.0);
  }
  sensor_offsets.resize(locations.size());
  measurements.resize(locations.size());
  for (double location : sensor_locations) {
    for (int k = 0; k < node_count; ++k) {
      if (static_cast<double>(k - 1) * node_spacing >= location) {
        sensor_nodes.push_back(k);
        break;
      }
    }
  }
}

void Simulation::advance(double P, double dt) {
  step_field(T.data(), P, dt);
  time = time + dt;
}
