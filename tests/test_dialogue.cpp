#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "child_process.h"
#include "console_capture.h"
#include "dialogue/dialogue.h"
#include "files/atomic_file.h"
#include "run_program.h"

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

// Works inside a fresh directory for the life of the object.
class InScratchDir {
 public:
  InScratchDir() : dir_(make_scratch_dir()), old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_);
  }
  ~InScratchDir() {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }

 private:
  std::string dir_;
  std::filesystem::path old_;
};

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

TEST(FileWritable,
     new_and_existing_files_are_writable_and_untouched_but_not_a_folder_or_missing_one) {
  InScratchDir scratch;
  EXPECT_TRUE(file_writable("fresh.txt"));
  EXPECT_FALSE(file_exists("fresh.txt"));
  { std::ofstream("old.txt", std::ios::binary) << "earlier results\n"; }
  const auto before = std::filesystem::last_write_time("old.txt");
  EXPECT_TRUE(file_writable("old.txt"));
  EXPECT_EQ(read_file("old.txt"), "earlier results\n");
  EXPECT_EQ(std::filesystem::last_write_time("old.txt"), before);
  std::filesystem::create_directory("taken.txt");
  EXPECT_FALSE(file_writable("taken.txt"));
  EXPECT_TRUE(std::filesystem::is_directory("taken.txt"));
  EXPECT_FALSE(file_writable("missing/run1.txt"));
  EXPECT_FALSE(file_exists("missing"));
}

TEST(FileWritable, special_files_and_names_with_a_nul_are_refused_without_blocking) {
  InScratchDir scratch;
  { std::ofstream("data", std::ios::binary) << "kept\n"; }
  // Cut at the NUL, this name would be the existing file "data".
  EXPECT_FALSE(file_writable(std::string("data\0x.txt", 10)));
  // Windows makes symbolic links only with extra privileges.
  if (posix_platform()) {
    std::filesystem::create_directory("folder");
    std::filesystem::create_symlink("folder", "link.txt");
    EXPECT_FALSE(file_writable("link.txt"));
    std::filesystem::create_symlink("data", "data.txt");
    EXPECT_TRUE(file_writable("data.txt"));
    std::filesystem::create_symlink("nowhere/x", "dangling.txt");
    EXPECT_FALSE(file_writable("dangling.txt"));
  }
  if (make_fifo("pipe.txt")) {
    // Opening a FIFO that nothing reads would block this call for ever.
    EXPECT_FALSE(file_writable("pipe.txt"));
    EXPECT_FALSE(write_file_atomically("pipe.txt", [](std::ostream& out) { out << "lost\n"; }));
    EXPECT_TRUE(std::filesystem::is_fifo("pipe.txt"));
  }
  if (std::filesystem::is_character_file("/dev/null")) {
    EXPECT_FALSE(file_writable("/dev/null"));
  }
  EXPECT_EQ(read_file("data"), "kept\n");
}
