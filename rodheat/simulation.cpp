#include "simulation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

std::mt19937 generator;

namespace {

std::once_flag generator_created;

void create_generator() {
  const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  generator.seed(static_cast<std::uint32_t>(micros));
}

constexpr int node_count = 123;
constexpr double dx = 0.0025;

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
      if (static_cast<double>(k - 1) * dx >= location) {
        sensor_nodes.push_back(k);
        break;
      }
    }
  }
}

void Simulation::advance(double P, double dt) {
  const double T_out4 = std::pow(T_out, 4.0);
  const double gL = 0.006808385579937304 * (T[1] - T_out) +
                    4.304711990595611e-11 * (std::pow(T[1], 4.0) - T_out4);
  const double gR = -0.006808385579937304 * (T[121] - T_out) -
                    4.304711990595611e-11 * (std::pow(T[121], 4.0) - T_out4);
  T[0] = T[2] - 2 * gL * dx;
  T[122] = T[120] + 2 * gR * dx;

  std::vector<double> R(node_count, 0.0);
  for (int i = 1; i <= 121; ++i) {
    R[i] = 118.23153627594694 * ((T[i + 1] - 2 * T[i]) + T[i - 1]);
    R[i] = R[i] - 0.0010062073583437393 * (T[i] - T_out);
    R[i] = R[i] - 6.36190889842011e-12 * (std::pow(T[i], 4.0) - T_out4);
    if (static_cast<double>(i - 1) * dx <= 0.03) R[i] = 0.1920178355585535 * P + R[i];
  }
  for (int i = 1; i <= 121; ++i) T[i] = R[i] * dt + T[i];
  time = time + dt;
}
