#include "model/baseline_step.h"

#include <cmath>
#include <vector>

#include "model/simulation.h"

void baseline_advance(Simulation& sim, double P, double dt) {
  std::vector<double>& T = sim.T;
  const double T_out4 = std::pow(T_out, 4.0);
  const double gL = 0.006808385579937304 * (T[1] - T_out) +
                    4.304711990595611e-11 * (std::pow(T[1], 4.0) - T_out4);
  const double gR = -0.006808385579937304 * (T[121] - T_out) -
                    4.304711990595611e-11 * (std::pow(T[121], 4.0) - T_out4);
  T[0] = T[2] - 2 * gL * 0.0025;
  T[122] = T[120] + 2 * gR * 0.0025;
  std::vector<double> R(123, 0.0);
  for (int i = 1; i <= 121; ++i) {
    R[i] = 118.23153627594694 * ((T[i + 1] - 2 * T[i]) + T[i - 1]);
    R[i] = R[i] - 0.0010062073583437393 * (T[i] - T_out);
    R[i] = R[i] - 6.36190889842011e-12 * (std::pow(T[i], 4.0) - T_out4);
    if ((i - 1) * 0.0025 <= 0.03) R[i] = 0.1920178355585535 * P + R[i];
  }
  for (int i = 1; i <= 121; ++i) T[i] = R[i] * dt + T[i];
  sim.time = sim.time + dt;
}
