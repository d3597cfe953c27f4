#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "console_capture.h"
#include "dialogue/dialogue.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace {

// P, heating duration, start, end, dt, locations and file name, as the run receives them.
using RunCall =
    std::tuple<double, double, double, double, double, std::vector<double>, std::string>;

// Records what the dialogue hands to the run and to the pause, in order.
struct Recorder {
  std::vector<RunCall> runs;
  std::vector<std::string> events;
  std::vector<std::pair<std::string, FileRole>> second_writes;
  bool written = true;
  int status = -1;
  std::string out;

  void talk(const std::string& typed) {
    ConsoleInput input(typed);
    ConsoleCapture capture;
    status = run_dialogue(
        [this](const Settings& s) {
          runs.emplace_back(s.P, s.heating_duration, s.t_start, s.t_end, s.dt, s.locations,
                            s.filename);
          events.push_back("run");
          RunResult result;
          result.written = written;
          result.rows = 1;
          result.results = "readings of " + s.filename + "\n";
          return result;
        },
        [this] { events.push_back("pause"); }, nullptr,
        [this](const std::string& name, const RunResult& run, FileRole role) {
          second_writes.emplace_back(name, role);
          return write_results(name, run, role);
        });
    out = capture.text();
  }
};

const std::string closing_prompt =
    "Press ENTER to exit the simulation or type \"restart\" and ENTER to begin a new "
    "experiment.\n";

}  // namespace

TEST(Dialogue, settings_reach_the_run_in_metres_after_the_pause_boundaries_included) {
  InScratchDir scratch;
  Recorder recorder;
  recorder.talk(
      "150\n600\n0 1200\n10.0008\n5 12.5\nrun1\n\nrestart\n"
      "0\n1\n15 15\n14.9992\n0 30 10 20 15\n\n\nrestart\n"
      "300\n3600\n0 3600\n3599.9995\n30\n\n\n\n");
  EXPECT_EQ(recorder.status, 0);
  // dt snaps to its multiple of five.
  EXPECT_EQ(recorder.runs,
            (std::vector<RunCall>{{150, 600, 0, 1200, 10, {0.05, 0.125}, "run1.txt"},
                                  {0, 1, 15, 15, 15, {0.0, 0.3, 0.1, 0.2, 0.15}, "results.txt"},
                                  {300, 3600, 0, 3600, 3600, {0.3}, "results.txt"}}));
  EXPECT_EQ(recorder.events,
            (std::vector<std::string>{"pause", "run", "pause", "run", "pause", "run"}));
}

TEST(Dialogue, a_failed_write_asks_for_another_name_and_writes_the_same_readings_there) {
  InScratchDir scratch;
  Recorder recorder;
  recorder.written = false;
  recorder.talk("150\n600\n0 5\n5\n5\n\n\nrun2\n\n");
  EXPECT_EQ(recorder.status, 0);
  const std::string tail =
      "Warning. The results could not be written to \"results.txt\".\n"
      "Enter the output file name (pass an empty line for default name "
      "\"results.txt\"):\nExperiment successful!\n" +
      closing_prompt;
  ASSERT_GE(recorder.out.size(), tail.size());
  EXPECT_EQ(recorder.out.substr(recorder.out.size() - tail.size()), tail);
  EXPECT_EQ(read_file("run2.txt"), "readings of results.txt\n");
  // Input ending at that question keeps them in the temporary folder instead, told apart.
  recorder.talk("150\n600\n0 5\n5\n5\n\n\n");
  ASSERT_EQ(recorder.second_writes.size(), 2u);
  std::filesystem::remove(recorder.second_writes[1].first);
  EXPECT_EQ(recorder.second_writes[0], std::make_pair(std::string("run2.txt"), FileRole::results));
  EXPECT_EQ(recorder.second_writes[1].second, FileRole::kept);
}

TEST(Dialogue, a_substituted_file_check_alone_decides_which_names_are_refused) {
  InScratchDir scratch;
  std::vector<std::string> checked;
  std::vector<std::string> run_files;
  ConsoleInput input("150\n600\n0 5\n5\n5\nrun1\n\n\n\n");
  ConsoleCapture capture;
  const int status = run_dialogue(
      [&](const Settings& settings) {
        run_files.push_back(settings.filename);
        RunResult result;
        result.written = true;
        return result;
      },
      [] {},
      [&](const std::string& name) {
        checked.push_back(name);
        return name != "run1.txt";
      });
  EXPECT_EQ(status, 0);
  // run1.txt is refused here although the folder would take it.
  EXPECT_EQ(checked, (std::vector<std::string>{"run1.txt", "results.txt"}));
  EXPECT_EQ(run_files, (std::vector<std::string>{"results.txt"}));
  EXPECT_NE(capture.text().find("Invalid entry.  The file \"run1.txt\" cannot be written.\n"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty("."));
}
