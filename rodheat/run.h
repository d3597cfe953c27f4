#pragma once

#include <chrono>
#include <string>
#include <vector>

// The clock and sleep that pace a run; a test substitutes its own to run unpaced.
class RunClock {
 public:
  virtual ~RunClock() = default;
  virtual std::chrono::steady_clock::time_point now() = 0;
  // Returns at once for a duration of zero or less.
  virtual void sleep_for(std::chrono::nanoseconds duration) = 0;
};

// The monotonic clock and the thread's real sleep.
RunClock& steady_run_clock();

class Simulation;

// Whether a run with these times and interval takes at least one reading; it asks the very
// test the run asks of each step, so the dialogue and the run cannot disagree.
bool window_holds_a_reading(double t_start, double t_end, double dt);

// The stepping part of a run on a model the caller owns: table header, running clock, rows,
// heater and pacing. runSim wraps it with the model's creation and the results file.
void run_steps(Simulation& sim, double P, double heating_duration, double t_start, double t_end,
               double dt, RunClock& clock);

// One experiment: steps the rod to t_end, prints the running clock and the live table,
// and writes the results file. Returns true when the results file was written completely;
// until then an earlier file of that name stays as it was.
bool runSim(double P, double heating_duration, double t_start, double t_end, double dt,
            std::vector<double> locations, std::string filename);

// The same run paced by the given clock.
bool runSim(double P, double heating_duration, double t_start, double t_end, double dt,
            std::vector<double> locations, std::string filename, RunClock& clock);
