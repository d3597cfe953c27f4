#pragma once

class Simulation;

// The straightforward step the product's step is measured against: the fourth power through
// pow at every node and a rate buffer allocated at every call.
void baseline_advance(Simulation& sim, double P, double dt);
