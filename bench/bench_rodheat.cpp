// ns per step of the product's step beside the straightforward baseline, their ratio, the wall
// time of the whole temperature-profile diagnostic, each instruction-set path's step times, and
// the cost of one profile line.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "model/baseline_step.h"
#include "model/rod_step.h"
#include "model/simulation.h"
#include "profile/profile.h"

namespace {

// A heated rod far from uniform, so the step works on realistic temperatures.
void warm_up(Simulation& sim) {
  for (int i = 0; i < 100000; ++i) sim.advance(300.0, 0.002);
}

void BM_step_baseline(benchmark::State& state) {
  Simulation sim({});
  warm_up(sim);
  for (auto _ : state) {
    baseline_advance(sim, 300.0, 0.002);
    benchmark::DoNotOptimize(sim.T.data());
  }
}
BENCHMARK(BM_step_baseline);

StepPath fastest_available_path() {
  StepPath fastest = StepPath::portable;
  for (const StepPath path : all_step_paths) {
    if (path_available(path)) fastest = path;
  }
  return fastest;
}

void BM_step_product(benchmark::State& state) {
  Simulation sim({});
  warm_up(sim);
  for (auto _ : state) {
    sim.advance(300.0, 0.002);
    benchmark::DoNotOptimize(sim.T.data());
  }
  state.SetLabel(std::string(path_name(fastest_available_path())) + " path");
}
BENCHMARK(BM_step_product);

// Registered in main for each path this processor has.
void BM_step_path(benchmark::State& state, StepPath path) {
  Simulation sim({});
  warm_up(sim);
  for (auto _ : state) {
    step_field_path(path, sim.T.data(), 300.0, 0.002);
    benchmark::DoNotOptimize(sim.T.data());
  }
}

// The diagnostic's 2,000,000 steps alone, without the file, on one path.
void BM_diagnostic_steps(benchmark::State& state, StepPath path) {
  for (auto _ : state) {
    Simulation sim({});
    for (long i = 0; i < 2000000; ++i) {
      step_field_path(path, sim.T.data(), i < 1000000 ? 300.0 : 0.0, 0.002);
    }
    benchmark::DoNotOptimize(sim.T.data());
  }
}

// One profile line of a heated rod as the diagnostic writes it, and with stream formatting.
void BM_profile_line(benchmark::State& state) {
  Simulation sim({});
  warm_up(sim);
  std::ostringstream out;
  for (auto _ : state) {
    out.str("");
    sim.debug_output(out, false);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_profile_line);

void BM_profile_line_stream(benchmark::State& state) {
  Simulation sim({});
  warm_up(sim);
  std::ostringstream out;
  for (auto _ : state) {
    out.str("");
    for (int i = 1; i <= 121; ++i) out << sim.T[i] - 300.0 << ",";
    out << "\n";
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_profile_line_stream);

std::string scratch_file() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr ? dir : "/tmp") + "/rodheat-bench-debug-" +
         std::to_string(::getpid()) + ".csv";
}

template <class Step>
void diagnostic(benchmark::State& state, Step step) {
  const std::string path = scratch_file();
  for (auto _ : state) {
    std::ofstream file(path);
    write_profile(file, step);
  }
  std::remove(path.c_str());
}

void BM_diagnostic_baseline(benchmark::State& state) { diagnostic(state, baseline_advance); }
BENCHMARK(BM_diagnostic_baseline)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_diagnostic_product(benchmark::State& state) {
  diagnostic(state, [](Simulation& sim, double P, double dt) { sim.advance(P, dt); });
}
BENCHMARK(BM_diagnostic_product)->Unit(benchmark::kMillisecond)->Iterations(3);

// Keeps each benchmark's wall and processor time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      seconds[run.benchmark_name()] =
          run.real_accumulated_time / static_cast<double>(run.iterations);
      cpu_seconds[run.benchmark_name()] =
          run.cpu_accumulated_time / static_cast<double>(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> seconds;
  // On a shared machine the processor time is the steadier figure.
  std::map<std::string, double> cpu_seconds;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (const StepPath path : all_step_paths) {
    if (!path_available(path)) continue;
    benchmark::RegisterBenchmark((std::string("BM_step_path/") + path_name(path)).c_str(),
                                 BM_step_path, path);
    benchmark::RegisterBenchmark((std::string("BM_diagnostic_steps/") + path_name(path)).c_str(),
                                 BM_diagnostic_steps, path)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& s = reporter.seconds;
  if (s.count("BM_step_baseline") && s.count("BM_step_product")) {
    std::printf("\nstep: baseline %.1f ns, product %.1f ns, ratio %.2f\n",
                s["BM_step_baseline"] * 1e9, s["BM_step_product"] * 1e9,
                s["BM_step_baseline"] / s["BM_step_product"]);
  }
  const std::string base = "BM_diagnostic_baseline/iterations:1";
  const std::string product = "BM_diagnostic_product/iterations:3";
  if (s.count(base) && s.count(product)) {
    std::printf("diagnostic wall time: baseline %.3f s, product %.3f s, ratio %.2f\n", s[base],
                s[product], s[base] / s[product]);
  }
  if (s.count("BM_profile_line") && s.count("BM_profile_line_stream")) {
    std::printf("profile line: %.0f ns, with stream formatting %.0f ns, ratio %.2f\n",
                s["BM_profile_line"] * 1e9, s["BM_profile_line_stream"] * 1e9,
                s["BM_profile_line_stream"] / s["BM_profile_line"]);
  }
  for (const StepPath path : all_step_paths) {
    const std::string step = std::string("BM_step_path/") + path_name(path);
    const std::string whole =
        std::string("BM_diagnostic_steps/") + path_name(path) + "/iterations:3";
    if (s.count(step) && s.count(whole)) {
      std::printf(
          "path %-12s %6.1f ns per step (CPU %5.1f), diagnostic's 2,000,000 steps %.3f s (CPU "
          "%.3f)\n",
          path_name(path), s[step] * 1e9, reporter.cpu_seconds[step] * 1e9, s[whole],
          reporter.cpu_seconds[whole]);
    }
  }
  benchmark::Shutdown();
  return 0;
}
