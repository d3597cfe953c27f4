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
