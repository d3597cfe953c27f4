#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "child_process.h"
#include "run_program.h"

namespace {

const std::string banner = "Tavix 2021 Experimental Round, problem E2\n\n";
const std::string power_prompt = "Enter P (W), between 0 and 300:\n";
const std::string duration_prompt = "Enter heating duration (s), between 0 and 3600s:\n";
const std::string times_prompt =
    "Enter the starting and finishing time for the measurements (s), separated by a space. Must "
    "be between 0 and 3600s:\n";
const std::string dt_prompt = "Enter dt (s), between 5 and 3600s and a multiple of 5s:\n";
const std::string locations_prompt =
    "Enter up to 5 locations for the sensors (in cm), between L=0 and L=30cm, separated by "
    "spaces:\n";
const std::string file_prompt =
    "Enter the output file name (pass an empty line for default name \"results.txt\"):\n";
const std::string confirm_prompt =
    "Press ENTER to start the experiment or type \"restart\" and ENTER to re-enter the "
    "experimental parameters.\n";
const std::string closing_prompt =
    "Press ENTER to exit the simulation or type \"restart\" and ENTER to begin a new "
    "experiment.\n";
const std::string all_questions = power_prompt + duration_prompt + times_prompt + dt_prompt +
                                  locations_prompt + file_prompt + confirm_prompt;

const std::string power_message = "Invalid entry.  Power must be between 0 and 300W.\n";
const std::string duration_message =
    "Invalid entry.  Heating duration must be between 0 and 3600s.\n";

// Readings are random: every "%6.1f" cell of a table row becomes "xxxx.x".
std::string mask_readings(const std::string& out) {
  static const std::regex reading(R"(\| [ \-0-9]{3}[0-9]\.[0-9] )");
  return std::regex_replace(out, reading, "| xxxx.x ");
}

std::string echo(const std::string& P, const std::string& duration, const std::string& t_start,
                 const std::string& t_end, const std::string& locations) {
  return "\n********* Begin experiment. ***********\n"
         "Heater power: " +
         P + "W,\nHeating duration: " + duration + "s,\nMeasurement starting time: " + t_start +
         "s,\nMeasurement finishing time: " + t_end + "s,\nSensor locations: " + locations + "\n\n";
}

// The console part of a run from 0 s to 5 s with readings every 5 s and two sensors.
const std::string two_sensor_run_to_5s =
    "| t(s) |  T1(C) |  T2(C) |\n              "
    "\r|    0 | xxxx.x | xxxx.x | \n"
    "\r|    5 | xxxx.x | xxxx.x | \n";

// The table rows in a terminal's or a file's text, without line ends.
std::vector<std::string> rows_of(const std::string& text) {
  static const std::regex row(R"(\| +[0-9]+ \|[^\r\n]*)");
  std::vector<std::string> rows;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator();
       ++it) {
    rows.push_back(it->str());
  }
  return rows;
}

// How many calls of syscall an strace log holds before the first line that holds marker.
int calls_before(const std::string& log, const std::string& syscall, const std::string& marker) {
  std::istringstream lines(log);
  int count = 0;
  for (std::string line; std::getline(lines, line) && line.find(marker) == std::string::npos;)
    count += line.rfind(syscall + "(", 0) == 0 ? 1 : 0;
  return count;
}

class RodheatCli : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = make_scratch_dir(); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  ProgramResult run(const std::string& input) {
    ProgramResult result = run_program(RODHEAT_EXE, input, dir_, 60.0);
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.err, "");
    return result;
  }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  // A native program that strace can start here (not one started through an emulator).
  bool traceable() {
    return program_command(RODHEAT_EXE).size() == 1 &&
           run_process({"strace", "-V"}, "", dir_, 30).exit_status == 0;
  }

  std::string dir_;
};

}  // namespace

TEST_F(RodheatCli, happy_path_runs_alike_when_input_ends_where_enter_would_be_typed) {
  const std::string answers = "150\n600\n0 5\n5\n5 12.5";
  const std::string start = banner + all_questions;
  const std::string experiment = echo("150", "600", "0", "5", "5.0cm, 12.5cm.") +
                                 two_sensor_run_to_5s + "Experiment successful!\n" + closing_prompt;
  // Ending input must not strand a student whose last answer lacked its line end or was refused.
  const std::pair<std::string, std::string> cases[] = {
      {answers + "\n\n\n\n", start + experiment},
      {answers, start + experiment},
      {answers + "\n\nyes\n", start + confirm_prompt + experiment},
      {answers + "\n\n\nagain\n", start + experiment + closing_prompt}};
  for (const auto& [input, expected] : cases) {
    std::filesystem::remove(path("results.txt"));
    const ProgramResult result = run(input);
    EXPECT_EQ(result.exit_status, 0) << input;
    EXPECT_EQ(mask_readings(result.out), expected) << input;
    EXPECT_TRUE(file_exists(path("results.txt"))) << input;
  }
}

TEST_F(RodheatCli, power_answers_outside_0_to_300_draw_only_the_range_message) {
  const ProgramResult result = run("300.5\n-1\nabc\n\n0\n");
  EXPECT_EQ(result.out, banner + power_prompt + power_message + power_message + power_message +
                            power_message + duration_prompt);
  EXPECT_EQ(result.exit_status, 1);
}

TEST_F(RodheatCli, heating_duration_below_1_or_above_3600_is_rejected) {
  const ProgramResult result = run("300\n0.5\n3600.5\n0\n1\n");
  EXPECT_EQ(result.out, banner + power_prompt + duration_prompt + duration_message +
                            duration_message + duration_message + times_prompt);
  EXPECT_EQ(result.exit_status, 1);
}

TEST_F(RodheatCli, measurement_times_are_rejected_for_format_count_range_and_order) {
  // Past the second number each is still read: a later one can make the line wrong.
  const ProgramResult result =
      run("150\n3600\n0,5 10\n100\n\n1 2 3 4\n1 2 3 1e400 4\n-1 5\n0 3601\n10 5\n5 5\n");
  EXPECT_EQ(result.out,
            banner + power_prompt + duration_prompt + times_prompt +
                "Invalid entry.  Entered values must be decimal numbers using a decimal point.\n"
                "Invalid entry.  Two decimal numbers must be entered, separated by spaces. 1 were "
                "found.\n"
                "Invalid entry.  Two decimal numbers must be entered, separated by spaces. 0 were "
                "found.\n"
                "Invalid entry.  Two decimal numbers must be entered, separated by spaces. 4 were "
                "found.\n"
                "Invalid entry.  Entered values must be decimal numbers using a decimal point.\n"
                "Invalid entry.  Times must be between 0 and 3600s.\n"
                "Invalid entry.  Times must be between 0 and 3600s.\n"
                "Invalid entry.  The starting time must not be later than the finishing time.\n" +
                dt_prompt);
  EXPECT_EQ(result.exit_status, 1);
}

TEST_F(RodheatCli, measurement_interval_is_rejected_outside_range_before_off_multiples) {
  const std::string range_message =
      "Invalid entry.  Time interval between two consecutive measurements, must be between 5 "
      "and 3600s.\n";
  const std::string multiple_message = "Invalind entry. Time interval must be a multiple of 5.\n";
  const ProgramResult result =
      run("150\n600\n0 10\n4.9995\n3600.0005\nabc\n12\n7.5\n10.0015\n9.9985\n10.0008\n");
  EXPECT_EQ(result.out, banner + power_prompt + duration_prompt + times_prompt + dt_prompt +
                            range_message + range_message + range_message + multiple_message +
                            multiple_message + multiple_message + multiple_message +
                            locations_prompt);
  EXPECT_EQ(result.exit_status, 1);
}

TEST_F(RodheatCli, sensor_locations_are_rejected_for_format_count_position_then_a_name_ends_it) {
  // Input ending right after a refused name runs nothing, under the default name or any other.
  const ProgramResult result =
      run("150\n600\n0 10\n5\n\n   \n1 2 3 4 5 6\n5 -1 40\n5 x\n31\n0 30\nmissing/run1\n");
  EXPECT_EQ(result.out,
            banner + power_prompt + duration_prompt + times_prompt + dt_prompt + locations_prompt +
                "Warning. No sensor locations were entered.\n"
                "Warning. No sensor locations were entered.\n"
                "Invalid entry.  Too many sensor locations were entered (6 locations).  Enter 5 or "
                "less.\n"
                "Invalid entry.  Entry no 2 must be between 0 and 30cm.\n"
                "Invalid entry.  Entered values must be decimal numbers using a decimal point, "
                "separated by spaces, e.g. \"0.1 .12 0.28\".\n"
                "Invalid entry.  Entry no 1 must be between 0 and 30cm.\n" +
                file_prompt + "Invalid entry.  The file \"missing/run1.txt\" cannot be written.\n");
  EXPECT_EQ(result.exit_status, 1);
}

TEST_F(RodheatCli, restart_at_both_prompts_and_file_names_across_three_experiments) {
  const std::string answers = "150\n600\n0 5\n5\n5 12.5\n";
  const ProgramResult result = run(
      // Confirmation: other lines repeat it, "restart" asks everything again.
      "1\n2\n0 5\n5\n1\nx\nRestart\nrestart \nyes\nrestart\n"
      // First experiment starts at 10 s, so the running clock leaves one decimal behind.
      "150\n600\n10 10\n5\n5 12.5\n\n\nagain\nrestart\n" +
      answers + "run1\n\nrestart\n" + answers + "run1.txt\n\n\n");
  EXPECT_EQ(result.exit_status, 0);
  const std::string first_run =
      "| t(s) |  T1(C) |  T2(C) |\n              \rt = 0.0s\r|   10 | xxxx.x | xxxx.x | \n";
  const std::string later_echo = echo("150.0", "600.0", "0.0", "5.0", "5.0cm, 12.5cm.");
  EXPECT_EQ(mask_readings(result.out),
            banner + power_prompt + duration_prompt + times_prompt + dt_prompt + locations_prompt +
                file_prompt + confirm_prompt + confirm_prompt + confirm_prompt + confirm_prompt +
                all_questions + echo("150", "600", "10", "10", "5.0cm, 12.5cm.") + first_run +
                "Experiment successful!\n" + closing_prompt + closing_prompt + all_questions +
                later_echo + two_sensor_run_to_5s + "Experiment successful!\n" + closing_prompt +
                all_questions + later_echo + two_sensor_run_to_5s + "Experiment successful!\n" +
                closing_prompt);
  EXPECT_TRUE(file_exists(path("results.txt")));
  EXPECT_TRUE(file_exists(path("run1.txt")));
  EXPECT_TRUE(file_exists(path("run1.txt.txt")));
  EXPECT_FALSE(file_exists(path("x.txt")));
}

TEST_F(RodheatCli, windows_without_a_reading_are_refused_and_a_typed_minus_zero_is_zero) {
  const ProgramResult result = run("-0\n600\n7 9\n10 20\n30\n5\n-0 5\n\n\n\n");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(mask_readings(result.out),
            banner + power_prompt + duration_prompt + times_prompt +
                "Invalid entry.  No measurement time lies between the starting and finishing time "
                "(measurements are taken at multiples of 5s).\n" +
                dt_prompt +
                "Invalid entry.  No multiple of dt lies between the starting and finishing time; "
                "enter a smaller dt.\n" +
                locations_prompt + file_prompt + confirm_prompt +
                echo("0", "600", "10", "20", "0.0cm, 5.0cm.") +
                "| t(s) |  T1(C) |  T2(C) |\n              \rt = 0.0s"
                "\r|   10 | xxxx.x | xxxx.x | \n\r|   15 | xxxx.x | xxxx.x | \n"
                "\r|   20 | xxxx.x | xxxx.x | \n"
                "Experiment successful!\n" +
                closing_prompt);
  const std::string file = read_file(path("results.txt"));
  EXPECT_NE(file.find(" Heater power: 0W,\n"), std::string::npos) << file;
  EXPECT_NE(file.find("Sensor locations: 0.0cm, 5.0cm.\n"), std::string::npos) << file;
}

TEST_F(RodheatCli, a_request_to_end_writes_the_rows_so_far_and_ends_with_128_plus_its_number) {
  // Ctrl-\ (3), a user signal (10 on Linux) and, sent by another process, every fault signal
  // (Linux's numbers: 4 SIGILL, 5 SIGTRAP, 7 SIGBUS, 31 SIGSYS) end a run as a termination
  // request does, with no core dump; a terminal paused by Ctrl-S holds none of them.
  for (const int number : {SIGTERM, 3, 10, 4, 5, SIGABRT, 7, SIGFPE, SIGSEGV, 31}) {
    const std::unique_ptr<TerminalSession> student = start_on_terminal(RODHEAT_EXE, dir_, true);
    if (!student) GTEST_SKIP() << "no pseudo-terminals on this platform";
    student->type("150\n600\n0 60\n5\n5\n\n\n");
    ASSERT_TRUE(student->wait_for("|    5 |", 30)) << student->shown();
    EXPECT_FALSE(student->echoing());
    if (number == SIGTERM || number == 10) {
      student->type("\x13");
      std::this_thread::sleep_for(std::chrono::milliseconds(600));
    }
    student->send_signal(number);
    EXPECT_EQ(student->exit_status(30), 128 + number) << number << student->shown();
    EXPECT_TRUE(student->echoing());
    const std::vector<std::string> rows = rows_of(read_file(path("results.txt")));
    EXPECT_GE(rows.size(), 2u);
    EXPECT_LT(rows.size(), 13u);
    EXPECT_EQ(rows, rows_of(student->shown()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1) << "a file left";
  }
  // A hangup ignored when the program started, as under nohup, ends no run, nor does an ENTER
  // pressed during it answer the closing prompt; Ctrl-\ at that prompt ends the program as a
  // request to end does, with no core dump.
  std::filesystem::remove(path("results.txt"));
  const auto hangup = std::signal(1, SIG_IGN);
  const std::unique_ptr<TerminalSession> kept = start_on_terminal(RODHEAT_EXE, dir_);
  std::signal(1, hangup);
  kept->type("150\n600\n0 10\n5\n5\n\n\n");
  ASSERT_TRUE(kept->wait_for("|    0 |", 30)) << kept->shown();
  kept->send_signal(1);
  kept->type("\n");
  ASSERT_TRUE(kept->wait_for(closing_prompt, 30)) << kept->shown();
  EXPECT_EQ(kept->exit_status(1.0), -1) << "the early ENTER ended the program";
  kept->send_signal(3);
  EXPECT_EQ(kept->exit_status(30), 128 + 3);
  EXPECT_EQ(rows_of(read_file(path("results.txt"))).size(), 3u);
}

TEST_F(RodheatCli, ctrl_c_in_the_pause_before_a_run_stops_it_before_its_first_reading) {
  const std::unique_ptr<TerminalSession> student = start_on_terminal(RODHEAT_EXE, dir_);
  if (!student) GTEST_SKIP() << "no pseudo-terminals on this platform";
  student->type("150\n600\n0 60\n5\n5\n\n\n");
  ASSERT_TRUE(student->wait_for("Sensor locations: 5.0cm.\n\n", 30)) << student->shown();
  student->type("\x03");
  ASSERT_TRUE(student->wait_for(
      "\nExperiment interrupted.  No readings had been taken.\n" + closing_prompt, 30))
      << student->shown();
  // The next one: a termination request there, then Ctrl-C, ends the program as the request does.
  student->type("restart\n150\n600\n0 60\n5\n5\n\n\n");
  ASSERT_TRUE(student->wait_for(
      closing_prompt + all_questions + echo("150", "600", "0", "60", "5.0cm."), 30))
      << student->shown();
  student->send_signal(SIGTERM);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  student->send_signal(SIGINT);
  EXPECT_EQ(student->exit_status(30), 128 + SIGTERM) << student->shown();
  EXPECT_FALSE(file_exists(path("results.txt")));
}

TEST_F(RodheatCli, a_run_stopped_by_ctrl_z_ends_with_its_rows_when_its_shell_kills_it) {
  // bash's kill %1 sends the stopped job a termination request, then continues it, in the
  // background by then; the shell between reports the program's status.
  const std::unique_ptr<TerminalSession> shell = start_on_terminal(
      RODHEAT_EXE, dir_, true,
      {"bash", "-c",
       "set -m; sh -c 'trap : TERM; \"$@\"; echo \"status $?\"' sh \"$@\"; kill %1; "
       "while [ -n \"$(jobs -rs)\" ]; do sleep 0.1; done",
       "bash"});
  if (!shell) GTEST_SKIP() << "no pseudo-terminals on this platform";
  shell->type("150\n600\n0 60\n5\n5\n\n\n");
  ASSERT_TRUE(shell->wait_for("|    5 |", 30)) << shell->shown();
  shell->type("\x1a");
  ASSERT_TRUE(shell->wait_for("status 143", 30)) << shell->shown();
  const std::vector<std::string> rows = rows_of(read_file(path("results.txt")));
  EXPECT_GE(rows.size(), 2u);
  EXPECT_EQ(rows, rows_of(shell->shown()));
}

TEST_F(RodheatCli,
       a_vanished_folder_asks_again_and_a_name_a_signal_or_the_end_of_input_keeps_the_rows) {
  // Ctrl-C with the terminal paused, then a second name; or at the question a termination request,
  // or the end of input that a closed window may bring before its hangup: the temporary folder.
  for (const int way : {SIGINT, SIGTERM, 0}) {
    std::filesystem::create_directory(path("sub"));
    const std::unique_ptr<TerminalSession> student = start_on_terminal(RODHEAT_EXE, dir_);
    if (!student) GTEST_SKIP() << "no pseudo-terminals on this platform";
    student->type(way == SIGINT ? "150\n600\n0 60\n5\n5\nsub/run1\n\n"
                                : "150\n600\n0 30\n5\n5\nsub/run1\n\n");
    // The folder goes while the run still has rows to take.
    ASSERT_TRUE(student->wait_for(way == SIGINT ? "|   10 |" : "|    0 |", 30)) << student->shown();
    std::filesystem::remove_all(path("sub"));
    if (way == SIGINT) {
      // The next row waits in a blocked write when Ctrl-C comes.
      student->type("\x13");
      std::this_thread::sleep_for(std::chrono::milliseconds(600));
      student->type("\x03");
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      student->type("\x11");
    }
    ASSERT_TRUE(student->wait_for(
        "Warning. The results could not be written to \"sub/run1.txt\".\n" + file_prompt, 30))
        << student->shown();
    if (way == SIGINT) {
      student->type("run2\n");
      ASSERT_TRUE(student->wait_for(closing_prompt, 30)) << student->shown();
      student->type("\n");
    } else if (way == SIGTERM) {
      student->send_signal(SIGTERM);
    } else {
      student->type("\x04");
    }
    EXPECT_EQ(student->exit_status(30), way == SIGINT ? 0 : way == SIGTERM ? 128 + SIGTERM : 1);
    const std::string shown = student->shown();
    std::smatch kept;
    ASSERT_TRUE(
        std::regex_search(shown, kept,
                          std::regex("\nExperiment interrupted.  The readings taken so far "
                                     "were written to \"(run2|.*rodheat-[0-9a-f-]+)\\.txt\"")))
        << shown;
    const std::string file = way == SIGINT ? path("run2.txt") : kept[1].str() + ".txt";
    const std::vector<std::string> rows = rows_of(read_file(file));
    if (way != SIGINT) std::filesystem::remove(file);
    EXPECT_GE(rows.size(), 3u);
    EXPECT_LT(rows.size(), 13u) << "the run went on after Ctrl-C";
    EXPECT_EQ(rows, rows_of(shown));
  }
}

TEST_F(RodheatCli, ctrl_c_just_before_the_question_after_a_failed_write_keeps_the_rows) {
  if (!traceable()) GTEST_SKIP() << "no strace for the program here";
  // The results write fails once; the question asked again is answered, or, with Ctrl-C made
  // certain to land before the read starts (at the write of its prompt), left unread.
  // extra: one more strace option, Ctrl-C's injection, or for the count the trace once more.
  const auto session = [&](const std::string& extra) {
    return start_on_terminal(
        RODHEAT_EXE, dir_, false,
        {"strace", "-o", "calls", "-e", "trace=write,fsync", "-e", "inject=fsync:error=EIO:when=1",
         "-e", extra, "-E", "ASAN_OPTIONS=detect_leaks=0"});
  };
  const std::string warning = "Warning. The results could not be written to \"results.txt\".\n";
  const std::unique_ptr<TerminalSession> counted = session("trace=write,fsync");
  counted->type("150\n600\n0 5\n5\n5\n\n\n");
  ASSERT_TRUE(counted->wait_for(warning + file_prompt, 30)) << counted->shown();
  counted->type("run2\n");
  ASSERT_TRUE(counted->wait_for(closing_prompt, 30)) << counted->shown();
  counted->type("\n");
  EXPECT_EQ(counted->exit_status(30), 0) << counted->shown();
  const int writes = calls_before(read_file(path("calls")), "write", "Warning.") + 2;
  const std::unique_ptr<TerminalSession> student =
      session("inject=write:error=EINTR:signal=SIGINT:when=" + std::to_string(writes));
  student->type("150\n600\n0 5\n5\n5\n\n\n");
  ASSERT_TRUE(student->wait_for(closing_prompt, 30)) << student->shown();
  student->type("\n");
  EXPECT_EQ(student->exit_status(30), 0);
  const std::string shown = student->shown();
  std::smatch kept;
  ASSERT_TRUE(std::regex_search(shown, kept, std::regex("to \"(.*rodheat-[0-9a-f-]+\\.txt)\"")))
      << shown;
  EXPECT_EQ(rows_of(read_file(kept[1].str())).size(), 2u);
  std::filesystem::remove(kept[1].str());
}

TEST_F(RodheatCli, files_are_made_exclusively_synced_around_their_rename_and_whole_before_an_end) {
  if (!traceable()) GTEST_SKIP() << "no strace for the program here";
  // A termination request that comes during a write is carried out once the file is whole. The
  // leak checker of a sanitized build cannot work under a tracer and would change the status.
  const auto traced = [&](const std::string& exe, const std::string& input,
                          const std::vector<std::string>& injected) {
    std::vector<std::string> command{"strace", "-o", "calls", "-e",
                                     "trace=openat,fsync,renameat,renameat2,clock_nanosleep"};
    command.insert(command.end(), injected.begin(), injected.end());
    command.insert(command.end(), {"-E", "ASAN_OPTIONS=detect_leaks=0", exe});
    return run_process(command, input, dir_, 60);
  };
  const std::vector<std::string> term_at_sync{"-e", "inject=fsync:signal=SIGTERM:when=1"};
  EXPECT_EQ(traced(RODHEAT_EXE, "150\n600\n0 5\n5\n5\n\n\n\n", term_at_sync).exit_status,
            128 + SIGTERM);
  EXPECT_EQ(rows_of(read_file(path("results.txt"))).size(), 2u);
  // Made in the folder held open only if absent, synced, renamed, then the folder synced.
  EXPECT_TRUE(std::regex_search(
      read_file(path("calls")),
      std::regex(R"(openat\((\d+), "\.rodheat-[^"]+", [^)]*O_CREAT\|O_EXCL.* = (\d+)\n([^\n]*\n)*?)"
                 R"(fsync\(\2\) += 0\n([^\n]*\n)*?renameat2?\(\1, "[^"]+", \1, "results\.txt".*\n)"
                 R"(([^\n]*\n)*?fsync\(\1\) += 0)")))
      << read_file(path("calls"));
  // A request to end during the run, then a write to a slow disk: the messages still reach a
  // screen that takes them.
  const ProgramResult slow = traced(RODHEAT_EXE, "150\n600\n0 60\n5\n5\n\n\n",
                                    {"-e", "inject=clock_nanosleep:signal=SIGTERM:when=8", "-e",
                                     "inject=fsync:delay_enter=1500000"});
  EXPECT_EQ(slow.exit_status, 128 + SIGTERM);
  EXPECT_NE(slow.out.find("\nExperiment interrupted.  The readings taken so far were written to "
                          "\"results.txt\".\n"),
            std::string::npos)
      << slow.out;
  // The profile's signal, held until debug.csv is whole, then ends it with no temporary left.
  EXPECT_EQ(traced(RODHEAT_PROFILE_EXE, "", term_at_sync).exit_status, -1);
  const std::string csv = read_file(path("debug.csv"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 2001);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 3) << "a file left";
  // Three hundred temporary names taken before the profile's: it goes on to a free one.
  std::filesystem::remove(path("debug.csv"));
  const int opens_before = calls_before(read_file(path("calls")), "openat", "\".rodheat-");
  const std::string taken = "inject=openat:error=EEXIST:when=" + std::to_string(opens_before + 1) +
                            ".." + std::to_string(opens_before + 300);
  EXPECT_EQ(traced(RODHEAT_PROFILE_EXE, "", {"-e", taken}).exit_status, 0);
  EXPECT_EQ(read_file(path("debug.csv")), csv);
}

TEST_F(RodheatCli, neither_a_closed_output_pipe_nor_a_full_log_ends_the_run_or_the_dialogue) {
  if (!posix_platform()) GTEST_SKIP() << "no POSIX shell to close the pipe early";
  // head leaves after the banner and a prompt or two, long before the run prints a row.
  const auto run_in_shell = [&](const std::string& script) {
    std::vector<std::string> command{"sh", "-c", script, "sh"};
    for (const std::string& word : program_command(RODHEAT_EXE)) command.push_back(word);
    return run_process(command, "150\n600\n0 5\n5\n5\n\n\n\n", dir_, 60).exit_status;
  };
  run_in_shell("{ \"$@\"; echo $? > status; } | head -c 100 > /dev/null");
  EXPECT_EQ(read_file(path("status")), "0\n");
  EXPECT_EQ(rows_of(read_file(path("results.txt"))).size(), 2u);
  // A session logged to a file that reaches the file-size limit, while the results file stays
  // under it.
  std::filesystem::remove(path("results.txt"));
  const int logged =
      exit_status_under_file_size_limit(512, [&] { return run_in_shell("exec \"$@\" > log.txt"); });
  if (logged == -2) GTEST_SKIP() << "no file-size limit on this platform";
  EXPECT_EQ(logged, 0);
  EXPECT_EQ(read_file(path("log.txt")).size(), 512u);
  EXPECT_EQ(rows_of(read_file(path("results.txt"))).size(), 2u);
}
