#pragma once

// Runs the fixed heating-and-cooling scenario and writes the whole temperature profile to
// "debug.csv" in the working directory.
void debug_output();
