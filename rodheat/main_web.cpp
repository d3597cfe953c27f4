#include <emscripten.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "dialogue.h"
#include "run.h"

// Tells the page when a run starts and ends, so that it can ignore keys and guard the tab.
extern "C" void labsim_run_event(int running);

namespace {

// A thread sleep would busy-wait and freeze the page; this one hands control back to it.
class YieldingRunClock : public RunClock {
 public:
  std::chrono::steady_clock::time_point now() override { return std::chrono::steady_clock::now(); }
  void sleep_for(std::chrono::nanoseconds duration) override {
    // Shorter waits are left to the absolute schedule: a yield costs more than a model step.
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
    if (ms >= 2) emscripten_sleep(static_cast<unsigned>(ms));
  }
};

RunResult web_run(double P, double heating_duration, double t_start, double t_end, double dt,
                  std::vector<double> locations, std::string filename) {
  static YieldingRunClock clock;
  labsim_run_event(1);
  RunResult result = runSim(P, heating_duration, t_start, t_end, dt, std::move(locations),
                            std::move(filename), clock);
  labsim_run_event(0);
  return result;
}

}  // namespace

int main() {
  return run_dialogue(web_run, [] { emscripten_sleep(1000); });
}
