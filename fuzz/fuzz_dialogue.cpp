// The rodheat dialogue fed arbitrary input, with the run replaced by a no-op and the results
// file check by a rule that touches no file: it ends once the input ends, prints only its own
// prompts and messages, and hands the run only settings that passed every question.

#include <fuzzer/FuzzedDataProvider.h>
#include <pthread.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dialogue/dialogue.h"
#include "experiment/run.h"
#include "fuzz_check.h"

namespace {

// Names with a slash stand for names in a missing folder; nothing here opens a file, but the
// dialogue's own file in the temporary folder, where input ends at the question after a failed
// write, is removed again.
bool writable_by_rule(const std::string& name) { return name.find('/') == std::string::npos; }

bool in_temporary_folder(const std::string& name) {
  const std::size_t base = name.rfind("/rodheat-");
  return base != std::string::npos && name.size() > base + 13 &&
         name.compare(name.size() - 4, 4, ".txt") == 0;
}

const std::set<std::string> fixed_lines = {
    "Tavix 2021 Experimental Round, problem E2",
    "",
    "Enter P (W), between 0 and 300:",
    "Enter heating duration (s), between 0 and 3600s:",
    "Enter the starting and finishing time for the measurements (s), separated by a space. Must "
    "be between 0 and 3600s:",
    "Enter dt (s), between 5 and 3600s and a multiple of 5s:",
    "Enter up to 5 locations for the sensors (in cm), between L=0 and L=30cm, separated by "
    "spaces:",
    "Enter the output file name (pass an empty line for default name \"results.txt\"):",
    "Press ENTER to start the experiment or type \"restart\" and ENTER to re-enter the "
    "experimental parameters.",
    "Press ENTER to exit the simulation or type \"restart\" and ENTER to begin a new experiment.",
    "Invalid entry.  Power must be between 0 and 300W.",
    "Invalid entry.  Heating duration must be between 0 and 3600s.",
    "Invalid entry.  Entered values must be decimal numbers using a decimal point.",
    "Invalid entry.  Times must be between 0 and 3600s.",
    "Invalid entry.  The starting time must not be later than the finishing time.",
    "Invalid entry.  Time interval between two consecutive measurements, must be between 5 and "
    "3600s.",
    "Invalind entry. Time interval must be a multiple of 5.",
    "Invalid entry.  No measurement time lies between the starting and finishing time "
    "(measurements are taken at multiples of 5s).",
    "Invalid entry.  No multiple of dt lies between the starting and finishing time; enter a "
    "smaller dt.",
    "Invalid entry.  Entered values must be decimal numbers using a decimal point, separated by "
    "spaces, e.g. \"0.1 .12 0.28\".",
    "Warning. No sensor locations were entered.",
    "********* Begin experiment. ***********",
    "Experiment successful!",
};

const std::string failed_write_head = "Warning. The results could not be written to \"";

// The middle of line when it starts with prefix and ends with suffix.
bool between(const std::string& line, const std::string& prefix, const std::string& suffix,
             std::string& middle) {
  if (line.size() < prefix.size() + suffix.size()) return false;
  if (line.compare(0, prefix.size(), prefix) != 0) return false;
  if (line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  middle = line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
  return true;
}

bool is_count(const std::string& text, long& count) {
  if (text.empty() || text.size() > 9) return false;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  count = std::strtol(text.c_str(), nullptr, 10);
  return true;
}

// A number as the console stream prints a double, within low to high.
bool is_number_within(const std::string& text, double low, double high) {
  if (text.empty()) return false;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  return end == text.c_str() + text.size() && value >= low && value <= high;
}

// "5.0cm, 12.5cm." with one to five locations from 0 to 30 cm.
bool is_location_list(const std::string& text) {
  std::size_t pos = 0;
  for (int count = 1; count <= 5; ++count) {
    const std::size_t unit = text.find("cm", pos);
    if (unit == std::string::npos) return false;
    if (!is_number_within(text.substr(pos, unit - pos), 0.0, 30.0)) return false;
    const std::string tail = text.substr(unit + 2);
    if (tail == ".") return true;
    if (tail.compare(0, 2, ", ") != 0) return false;
    pos = unit + 4;
  }
  return false;
}

bool is_dialogue_line(const std::string& line) {
  if (fixed_lines.count(line) != 0) return true;
  std::string middle;
  long count = 0;
  if (between(line, "Invalid entry.  Two decimal numbers must be entered, separated by spaces. ",
              " were found.", middle)) {
    return is_count(middle, count) && count != 2;
  }
  if (between(line, "Invalid entry.  Too many sensor locations were entered (",
              " locations).  Enter 5 or less.", middle)) {
    return is_count(middle, count) && count > 5;
  }
  if (between(line, "Invalid entry.  Entry no ", " must be between 0 and 30cm.", middle)) {
    return is_count(middle, count) && count >= 1 && count <= 5;
  }
  if (between(line, "Invalid entry.  The file \"", "\" cannot be written.", middle)) {
    return !writable_by_rule(middle);
  }
  if (between(line, failed_write_head, "\".", middle)) {
    return writable_by_rule(middle) || in_temporary_folder(middle);
  }
  if (between(line, "Experiment interrupted.  The readings taken so far were written to \"", "\".",
              middle)) {
    return in_temporary_folder(middle);
  }
  if (between(line, "Heater power: ", "W,", middle)) return is_number_within(middle, 0, 300);
  if (between(line, "Heating duration: ", "s,", middle)) return is_number_within(middle, 1, 3600);
  if (between(line, "Measurement starting time: ", "s,", middle)) {
    return is_number_within(middle, 0, 3600);
  }
  if (between(line, "Measurement finishing time: ", "s,", middle)) {
    return is_number_within(middle, 0, 3600);
  }
  if (between(line, "Sensor locations: ", "", middle)) return is_location_list(middle);
  return false;
}

bool is_multiple_of_five(double dt) {
  const double fives = dt / 5.0;
  return fives == static_cast<double>(static_cast<long>(fives));
}

void check_settings(double P, double heating_duration, double t_start, double t_end, double dt,
                    const std::vector<double>& locations, const std::string& filename) {
  require(P >= 0.0 && P <= 300.0, "the run gets a power from 0 to 300 W");
  require(heating_duration >= 1.0 && heating_duration <= 3600.0,
          "the run gets a heating duration from 1 to 3600 s");
  require(t_start >= 0.0 && t_start <= t_end && t_end <= 3600.0,
          "the run gets ordered measurement times from 0 to 3600 s");
  require(dt >= 5.0 && dt <= 3600.0 && is_multiple_of_five(dt),
          "the run gets a measurement interval that is a multiple of 5 s");
  require(window_holds_a_reading(t_start, t_end, dt), "the run takes at least one reading");
  require(!locations.empty() && locations.size() <= 5, "the run gets one to five sensors");
  for (const double location : locations) {
    require(location >= 0.0 && location <= 0.3, "every sensor lies on the rod");
  }
  require(filename.size() >= 4 && filename.compare(filename.size() - 4, 4, ".txt") == 0,
          "the results file name ends in .txt");
  require(writable_by_rule(filename), "the results file name passed the file check");
}

}  // namespace

// libFuzzer's own timer rings SIGALRM, which during a run the program takes as a request to end.
// Blocked here, before libFuzzer starts its threads, it reaches none of them, so the timer
// never fires for this target; fuzz/run.sh bounds a hang from outside.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sigset_t timer;
  sigemptyset(&timer);
  sigaddset(&timer, SIGALRM);
  pthread_sigmask(SIG_BLOCK, &timer, nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  // Taken from the end of the input, so the typed text stays readable at its start.
  const bool run_writes = provider.ConsumeBool();
  const bool second_name_writes = provider.ConsumeBool();
  const std::string typed = provider.ConsumeRemainingBytesAsString();

  std::istringstream input(typed);
  std::ostringstream output;
  std::streambuf* const saved_in = std::cin.rdbuf(input.rdbuf());
  std::streambuf* const saved_out = std::cout.rdbuf(output.rdbuf());
  std::cin.clear();

  int runs = 0;
  int pauses = 0;
  const int status = run_dialogue(
      [&](const Settings& s) {
        require(pauses == runs + 1, "every run follows its pause");
        check_settings(s.P, s.heating_duration, s.t_start, s.t_end, s.dt, s.locations, s.filename);
        ++runs;
        RunResult result;
        result.written = run_writes;
        result.rows = 1;
        return result;
      },
      [&] { ++pauses; }, writable_by_rule,
      [&](const std::string& name, const RunResult&, FileRole) {
        if (in_temporary_folder(name)) {
          std::filesystem::remove(name);
          return second_name_writes;
        }
        require(writable_by_rule(name), "a second name is checked like the first");
        return second_name_writes;
      });
  const bool input_consumed = std::cin.eof();

  std::cin.rdbuf(saved_in);
  std::cout.rdbuf(saved_out);
  std::cin.clear();

  require(status == 0 || status == 1, "the dialogue ends with status 0 or 1");
  require(status == 0 || input_consumed, "status 1 only once the input has ended");
  require(pauses == runs, "every pause is followed by its run");

  const std::string text = output.str();
  require(!text.empty() && text.back() == '\n', "the output ends with a whole line");
  std::size_t start = 0;
  int echoes = 0;
  int successes = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string line = text.substr(start, end - start);
    require(is_dialogue_line(line), "every line printed is one of the dialogue's");
    if (line == "********* Begin experiment. ***********") ++echoes;
    if (line == "Experiment successful!") ++successes;
    start = end + 1;
  }
  require(echoes == runs, "each run is echoed");
  // Only input ending while a failed write asks for another name leaves a run unreported.
  require(successes == runs || (status == 1 && successes == runs - 1),
          "each run is reported once its readings are kept");
  return 0;
}
