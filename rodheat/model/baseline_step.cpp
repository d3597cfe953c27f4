#include "model/baseline_step.h"

#include <cmath>
#include <vector>

#include "model/simulation.h"

// The formula written plainly: one of its three bodies, with node_rate and rate_pair in
// model/rod_step.cpp, which test_rod_step.cpp holds to this one.
void baseline_advance(Simulation& sim, double P, double dt) {
  std::vector<double>& T = sim.T;
  const double T_out4 = std::pow(T_out, 4.0);
  const double gL =
      end_face_linear * (T[1] - T_out) + end_face_fourth_power * (std::pow(T[1], 4.0) - T_out4);
  const double gR = -end_face_linear * (T[last_node] - T_out) -
                    end_face_fourth_power * (std::pow(T[last_node], 4.0) - T_out4);
  T[0] = T[2] - 2 * gL * node_spacing;
  T[last_node + 1] = T[last_node - 1] + 2 * gR * node_spacing;
  std::vector<double> R(node_count, 0.0);
  for (int i = 1; i <= last_node; ++i) {
    R[i] = conduction * ((T[i + 1] - 2 * T[i]) + T[i - 1]);
    R[i] = R[i] - linear_loss * (T[i] - T_out);
    R[i] = R[i] - fourth_power_loss * (std::pow(T[i], 4.0) - T_out4);
    if ((i - 1) * node_spacing <= heated_length) R[i] = heating * P + R[i];
  }
  for (int i = 1; i <= last_node; ++i) T[i] = R[i] * dt + T[i];
  sim.time = sim.time + dt;
}
