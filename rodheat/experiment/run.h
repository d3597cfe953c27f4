#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

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
// heater and pacing; after_reading follows each row. runSim wraps it with the model's creation
// and the results file. Returns false when an interruption stopped it after a step short of t_end.
bool run_steps(Simulation& sim, double P, double heating_duration, double t_start, double t_end,
               double dt, RunClock& clock, const std::function<void()>& after_reading = {});

// An experiment's settings as the student answered them; a run takes them as one value.
struct Settings {
  double P = 0.0;
  double heating_duration = 0.0;
  double t_start = 0.0;
  double t_end = 0.0;
  double dt = 0.0;
  std::vector<double> locations;
  std::string filename;
};

// How a run ended and what it measured, so that the dialogue can report it and write the same
// readings again under another name.
struct RunResult {
  bool written = false;       // the results file holds the whole content below
  bool interrupted = false;   // stopped short of t_end
  bool ends_program = false;  // a closed terminal window or a termination request
  int signal_number = 0;      // what interrupted it, when something did
  std::size_t rows = 0;       // readings taken
  std::string results;        // the results file's content
  TableCells cells;           // its table's cells
};

// One experiment: steps the rod to t_end, prints the running clock and the live table, and
// writes the results file, paced by clock (a test passes its own to run unpaced). Ctrl-C stops
// it after the current step, and the readings taken so far are written; nothing is written when
// there are none. Until the write succeeds an earlier file of that name stays as it was.
RunResult runSim(double P, double heating_duration, double t_start, double t_end, double dt,
                 std::vector<double> locations, std::string filename,
                 RunClock& clock = steady_run_clock());
