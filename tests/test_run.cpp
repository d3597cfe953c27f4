#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "child_process.h"
#include "console_capture.h"
#include "experiment/run.h"
#include "model/seeding.h"
#include "model/simulation.h"
#include "platform/platform.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// A virtual clock: sleeping moves it forward at once, and a test may charge work to a step.
class FakeClock : public RunClock {
 public:
  std::chrono::steady_clock::time_point now() override {
    if (reads_ > 0) current_ += work_per_step(reads_ - 1);
    ++reads_;
    return current_;
  }
  void sleep_for(nanoseconds duration) override {
    sleeps.push_back(duration);
    if (duration > nanoseconds::zero()) current_ += duration;
    wake_times.push_back(current_ - origin_);
  }
  // The first read is the start instant; each step reads once more before it sleeps.
  std::function<nanoseconds(long step)> work_per_step = [](long) { return nanoseconds(0); };
  std::vector<nanoseconds> sleeps;
  std::vector<nanoseconds> wake_times;

 private:
  std::chrono::steady_clock::time_point origin_{std::chrono::seconds(1000)};
  std::chrono::steady_clock::time_point current_{origin_};
  long reads_ = 0;
};

struct RunOutcome {
  std::string console;
  bool written = false;
  TableCells cells;
};

RunOutcome unpaced_run(double P, double heating, double t_start, double t_end, double dt,
                       std::vector<double> locations, const std::string& file) {
  FakeClock clock;
  ConsoleCapture capture;
  RunOutcome run;
  const RunResult result = runSim(P, heating, t_start, t_end, dt, locations, file, clock);
  run.written = result.written;
  run.cells = result.cells;
  run.console = capture.text();
  return run;
}

std::vector<int> row_times(const std::string& console) {
  std::vector<int> times;
  static const std::regex row(R"(\r\| +(-?\d+) \| )");
  for (auto it = std::sregex_iterator(console.begin(), console.end(), row);
       it != std::sregex_iterator(); ++it) {
    times.push_back(std::stoi((*it)[1]));
  }
  return times;
}

class RunTest : public ::testing::Test {
 protected:
  void SetUp() override { seed_generator(2021); }
  ScratchDir scratch_;
  std::string dir_ = scratch_.path();
  std::string file_ = dir_ + "/results.txt";
};

}  // namespace

// First in the file: a Ctrl-C that a later test raises stays noted for run_steps alone.
TEST(RunPacing, each_step_wakes_at_its_whole_millisecond_target_and_a_late_one_is_not_made_up) {
  FakeClock clock;
  // Step 100 starts on time at 15 ms (step 99's target) and takes 50 ms of work.
  clock.work_per_step = [](long step) { return step == 100 ? milliseconds(50) : milliseconds(0); };
  Simulation sim({});
  {
    ConsoleCapture quiet;
    run_steps(sim, 0, 1, 0, 2, 5, clock);
  }
  ASSERT_EQ(clock.wake_times.size(), 1001u);
  EXPECT_EQ(clock.wake_times[100], milliseconds(15 + 50));
  // The following steps do not sleep until the schedule catches up ...
  for (std::size_t i = 101; i <= 412; ++i) EXPECT_LE(clock.sleeps[i], nanoseconds(0)) << i;
  // ... and every other step wakes at its own target.
  for (std::size_t i = 0; i < clock.wake_times.size(); i = i == 99 ? 413 : i + 1) {
    const auto target = milliseconds(static_cast<long>(static_cast<double>(i) * 0.002 * 80.0));
    EXPECT_EQ(clock.wake_times[i], target) << "step " << i;
  }
}

TEST_F(RunTest, rows_fall_on_multiples_of_dt_from_the_first_at_the_start_written_or_not) {
  const RunOutcome run = unpaced_run(100, 600, 12, 60, 10, {0.05}, file_);
  EXPECT_EQ(row_times(run.console), (std::vector<int>{20, 30, 40, 50, 60}));
  EXPECT_TRUE(run.written);
  ASSERT_EQ(run.cells.size(), 5u);
  EXPECT_EQ(run.cells.back().front(), "60");
  // A file in a missing folder is reported, and the run still completes.
  const RunOutcome lost = unpaced_run(100, 600, 0, 20, 5, {0.05}, dir_ + "/missing/results.txt");
  EXPECT_FALSE(lost.written);
  EXPECT_EQ(row_times(lost.console), (std::vector<int>{0, 5, 10, 15, 20}));
}

TEST_F(RunTest, start_after_end_shows_clock_only_and_file_has_no_rows) {
  const RunOutcome run = unpaced_run(100, 600, 50, 25, 5, {0.05}, file_);
  EXPECT_TRUE(row_times(run.console).empty());
  EXPECT_EQ(run.console, "| t(s) |  T1(C) |\n              \rt = 0.0s\rt = 10.0s\rt = 20.0s");
  const std::string file = read_file(file_);
  EXPECT_EQ(file.substr(file.size() - 18), "| t(s) |  T1(C) |\n");
}

TEST_F(RunTest, negative_end_makes_no_step_but_still_writes_header_and_file) {
  const RunOutcome run = unpaced_run(100, 600, 0, -1, 5, {0.05}, file_);
  EXPECT_EQ(run.console, "| t(s) |  T1(C) |\n              ");
  EXPECT_TRUE(run.written);
  EXPECT_TRUE(file_exists(file_));
}

TEST_F(RunTest, run_without_sensors_prints_the_time_column_alone) {
  const RunOutcome run = unpaced_run(100, 600, 0, 10, 5, {}, file_);
  EXPECT_EQ(run.console, "| t(s) |\n              \r|    0 | \n\r|    5 | \n\r|   10 | \n");
  EXPECT_EQ(read_file(file_),
            "Tavix 2021 Experimental Round\n\nExperimental setup:\n Heater power: 100W,\n"
            " Heating duration: 600s,\n\nSensor locations: cm.\n\n| t(s) |\n");
}

TEST_F(RunTest, failed_write_keeps_the_earlier_file_and_a_later_one_replaces_it_cleanly) {
  { std::ofstream(file_) << "earlier results\n"; }
  // The table of this run is far larger than the limit, so the write fails part of the way.
  const int status = exit_status_under_file_size_limit(200, [this] {
    survive_file_size_limit();
    return unpaced_run(100, 600, 0, 60, 5, {0.05, 0.1, 0.15}, file_).written ? 1 : 0;
  });
  if (status == -2) GTEST_SKIP() << "no file-size limit on this platform";
  EXPECT_EQ(status, 0) << "the run must report the failure, not die of the limit";
  EXPECT_EQ(read_file(file_), "earlier results\n");
  EXPECT_EQ(folder_content(dir_), std::vector<std::string>{"results.txt"});

  ASSERT_TRUE(unpaced_run(100, 600, 0, 60, 5, {0.05, 0.1, 0.15}, file_).written);
  EXPECT_EQ(read_file(file_).substr(0, 29), "Tavix 2021 Experimental Round");
  EXPECT_EQ(folder_content(dir_), std::vector<std::string>{"results.txt"});
}

// The dialogue refuses exactly the windows in which the run would take no reading.
TEST_F(RunTest, window_check_agrees_with_the_rows_a_run_takes) {
  const double cases[][3] = {{7, 9, 5},        {10, 20, 30},      {10, 20, 5},    {0, 0, 5},
                             {1, 4.9995, 5},   {1, 4.9985, 5},    {5.0005, 9, 5}, {5.001, 9, 5},
                             {12, 29.999, 15}, {12, 29.9985, 15}, {31, 31, 5},    {25, 31, 30}};
  for (const auto& c : cases) {
    const RunOutcome run = unpaced_run(0, 1, c[0], c[1], c[2], {0.05}, file_);
    EXPECT_EQ(window_holds_a_reading(c[0], c[1], c[2]), !row_times(run.console).empty())
        << c[0] << " to " << c[1] << " every " << c[2];
  }
}

TEST_F(RunTest, heater_is_on_exactly_for_steps_before_the_heating_duration) {
  Simulation run_model({});
  FakeClock clock;
  {
    ConsoleCapture quiet;
    run_steps(run_model, 300, 1.0, 0, 1.01, 5, clock);
  }
  Simulation expected({});
  for (int i = 0; i < 500; ++i) expected.advance(300, 0.002);  // t = 0 to 0.998 s
  for (int i = 0; i < 6; ++i) expected.advance(0, 0.002);      // t = 1.0 to 1.01 s
  EXPECT_EQ(run_model.T, expected.T);
  EXPECT_EQ(run_model.time, expected.time);
}

TEST_F(RunTest, ctrl_c_during_the_last_step_interrupts_nothing_but_one_step_earlier_does) {
  if (!posix_platform()) GTEST_SKIP() << "a console's Ctrl-C comes later, on a thread of its own";
  // From 0 s to 5 s the run takes steps 0 to 2500.
  for (const long step : {2500L, 2499L}) {
    FakeClock clock;
    clock.work_per_step = [step](long i) { return nanoseconds(i == step && raise_interrupt()); };
    ConsoleCapture quiet;
    EXPECT_EQ(runSim(100, 10, 0, 5, 5, {0.05}, file_, clock).interrupted, step == 2499) << step;
  }
}
