#pragma once

// Ambient temperature (K): the initial temperature of every node.
constexpr double T_out = 300.0;
// Length of the rod (m): the upper bound of a sensor position.
constexpr double rod_length = 0.3;
