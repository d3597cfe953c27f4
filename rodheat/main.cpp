#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "dialogue.h"
#include "run.h"

int main() {
  // runSim is overloaded, so it is wrapped rather than passed by name.
  const ExperimentRun run = [](double P, double heating_duration, double t_start, double t_end,
                               double dt, std::vector<double> locations, std::string filename) {
    return runSim(P, heating_duration, t_start, t_end, dt, std::move(locations),
                  std::move(filename));
  };
  return run_dialogue(run, [] { std::this_thread::sleep_for(std::chrono::milliseconds(1000)); });
}
