#include "experiment/run.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <utility>

#include "experiment/results_file.h"
#include "model/simulation.h"
#include "platform/platform.h"

namespace {

constexpr double h = time_step;
constexpr double pace_ms_per_second = 80.0;

// Whether step i, at t = i * h, lies on the measurement grid from t_start on.
bool step_is_measured(std::int64_t i, double t_start, double dt) {
  const double t = static_cast<double>(i) * h;
  if (!(t >= t_start)) return false;
  const auto m = static_cast<std::int64_t>(t / dt);
  return 0.5 * h > t - static_cast<double>(m) * dt;
}

class SteadyRunClock : public RunClock {
 public:
  std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
  void sleep_for(std::chrono::nanoseconds duration) override { pause_for(duration); }
};

}  // namespace

bool window_holds_a_reading(double t_start, double t_end, double dt) {
  // No step before the one just below t_start can be measured; start there to stay short.
  const double first = t_start > 0.0 ? std::floor(t_start / h) - 1.0 : 0.0;
  for (auto i = static_cast<std::int64_t>(std::max(first, 0.0));
       t_end / h >= static_cast<double>(i); ++i) {
    if (step_is_measured(i, t_start, dt)) return true;
  }
  return false;
}

RunClock& steady_run_clock() {
  static SteadyRunClock clock;
  return clock;
}

bool run_steps(Simulation& sim, double P, double heating_duration, double t_start, double t_end,
               double dt, RunClock& clock, const std::function<void()>& after_reading) {
  sim.init_measurements();
  const auto start = clock.now();
  std::cout << "              " << std::flush;

  // 64 bits: no finite finishing time can overflow the step count.
  for (std::int64_t i = 0; t_end / h >= static_cast<double>(i); ++i) {
    const double t = static_cast<double>(i) * h;
    const auto q = static_cast<std::int64_t>(t / 10);
    if (0.5 * h > t - 10 * static_cast<double>(q) && t < t_start) {
      std::cout << "\rt = " << std::fixed << std::setprecision(1) << t << "s" << std::flush;
    }
    if (step_is_measured(i, t_start, dt)) {
      std::cout << "\r";
      sim.take_measurement();
      if (after_reading) after_reading();
    }
    sim.advance(heating_duration > t ? P : 0.0, h);

    // An absolute schedule: a late step is not made up, and lag does not accumulate.
    const auto target_ms =
        static_cast<std::int64_t>(static_cast<double>(i) * h * pace_ms_per_second);
    const auto target = start + std::chrono::milliseconds(target_ms);
    clock.sleep_for(std::chrono::duration_cast<std::chrono::nanoseconds>(target - clock.now()));
    if (pending_interruption().requested && t_end / h >= static_cast<double>(i + 1)) return false;
  }
  return true;
}

// The settings come by value, as the dialogue hands them over; the model copies the locations.
RunResult runSim(double P, double heating_duration, double t_start, double t_end, double dt,
                 // cppcheck-suppress passedByValue
                 std::vector<double> locations, std::string filename, RunClock& clock) {
  Simulation sim(locations);
  RunResult result;
  const GuardedRun guard;
  const auto results_so_far = [&] {
    std::ostringstream content;
    sim.dump_measurements(content, P, heating_duration, t_end, dt);
    return content.str();
  };
  const auto cells_so_far = [&] { return sim.table_cells(); };
  result.interrupted = !run_steps(sim, P, heating_duration, t_start, t_end, dt, clock, [&] {
    offer_readings_so_far(filename, results_so_far, cells_so_far);
  });
  const int stopped_by = pending_interruption().signal_number;
  result.results = results_so_far();
  result.cells = sim.table_cells();
  result.rows = sim.measurement_times.size();
  // An interrupted run without a reading has nothing worth a file.
  if (!result.interrupted || result.rows > 0)
    result.written = write_results(filename, result, FileRole::results);
  // A request to end that came while the file was written is carried out once it is complete.
  const Interruption last = pending_interruption();
  result.ends_program = last.ends_program;
  result.signal_number = last.ends_program ? last.signal_number : stopped_by;
  return result;
}
