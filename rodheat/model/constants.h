#pragma once

// Ambient temperature (K): the initial temperature of every node.
constexpr double T_out = 300.0;
// Length of the rod (m): the upper bound of a sensor position.
constexpr double rod_length = 0.3;
// The grid: node i lies at (i - 1) * node_spacing; nodes 1 to last_node cover the rod, and
// nodes 0 and last_node + 1 are ghost nodes.
constexpr int node_count = 123;
constexpr int last_node = node_count - 2;
constexpr double node_spacing = 0.0025;
// The model's step (s), in an experiment and in the diagnostic alike.
constexpr double time_step = 0.002;

// The model's coefficients, read by every step path (each instruction set's, WebAssembly's pair
// step and the straightforward baseline), so that all of them compute with the same bits.
// Conduction: the diffusion coefficient over the squared node spacing (1/s).
constexpr double conduction = 118.23153627594694;
// Loss to the surroundings of every node: per kelvin above T_out (1/s) and per unit of
// T^4 - T_out^4 (1/(K^3 s)).
constexpr double linear_loss = 0.0010062073583437393;
constexpr double fourth_power_loss = 6.36190889842011e-12;
// The temperature rise of each heated node per watt (K/(W s)), on the rod up to heated_length (m).
constexpr double heating = 0.1920178355585535;
constexpr double heated_length = 0.03;
// The temperature gradient at an end face: per kelvin above T_out (1/m) and per unit of
// T^4 - T_out^4 (1/(K^3 m)).
constexpr double end_face_linear = 0.006808385579937304;
constexpr double end_face_fourth_power = 4.304711990595611e-11;
