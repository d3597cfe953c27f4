#include "dialogue/dialogue.h"

#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <iostream>
#include <utility>

#include "core_dump.h"
#include "dialogue/input.h"
#include "experiment/results_file.h"
#include "experiment/run.h"
#include "files/atomic_file.h"
#include "model/constants.h"
#include "platform/platform.h"

namespace {

const char* const default_filename = "results.txt";

// Written so that a value that is not a number fails every range.
bool within(double value, double low, double high) { return value >= low && value <= high; }

// A typed -0 is held as 0, so that neither the echo nor the results file shows "-0".
double without_negative_zero(double value) { return value + 0.0; }

// The prompt must be on the terminal before the student is expected to answer it.
std::string read_line() {
  std::cout.flush();
  std::string line;
  std::getline(std::cin, line);
  return line;
}

double read_number() {
  std::cout.flush();
  return read_double();
}

// Only a read that got nothing at all fails; a last line without a line end is a real answer.
bool input_ended() { return std::cin.fail(); }

// A question answered by one number in [low, high]; anything else draws the range message.
bool ask_number(const char* prompt, double low, double high, const char* range_message,
                double& answer) {
  std::cout << prompt;
  while (true) {
    const double value = read_number();
    if (input_ended()) return false;
    if (within(value, low, high)) {
      answer = without_negative_zero(value);
      return true;
    }
    std::cout << range_message;
  }
}

bool ask_power(double& P) {
  return ask_number("Enter P (W), between 0 and 300:\n", 0.0, 300.0,
                    "Invalid entry.  Power must be between 0 and 300W.\n", P);
}

// The prompt names 0 s, but a heating shorter than 1 s is refused.
bool ask_heating_duration(double& heating_duration) {
  return ask_number("Enter heating duration (s), between 0 and 3600s:\n", 1.0, 3600.0,
                    "Invalid entry.  Heating duration must be between 0 and 3600s.\n",
                    heating_duration);
}

bool ask_times(double& t_start, double& t_end) {
  std::cout << "Enter the starting and finishing time for the measurements (s), separated by a "
               "space. Must be between 0 and 3600s:\n";
  while (true) {
    // Handed over, not copied: an answer may be a hundred megabytes long.
    std::string line = read_line();
    if (input_ended()) return false;
    const NumberCount parsed = count_numbers(std::move(line), 2);
    const std::vector<double>& values = parsed.first;
    if (!parsed.complete) {
      std::cout
          << "Invalid entry.  Entered values must be decimal numbers using a decimal point.\n";
    } else if (parsed.count != 2) {
      std::cout << "Invalid entry.  Two decimal numbers must be entered, separated by spaces. "
                << parsed.count << " were found.\n";
    } else if (!within(values[0], 0.0, 3600.0) || !within(values[1], 0.0, 3600.0)) {
      std::cout << "Invalid entry.  Times must be between 0 and 3600s.\n";
    } else if (values[0] > values[1]) {
      std::cout << "Invalid entry.  The starting time must not be later than the finishing time.\n";
    } else if (!window_holds_a_reading(values[0], values[1], 5.0)) {
      // Every interval is a multiple of 5 s, so without a multiple of 5 s no reading is possible.
      std::cout << "Invalid entry.  No measurement time lies between the starting and finishing "
                   "time (measurements are taken at multiples of 5s).\n";
    } else {
      t_start = without_negative_zero(values[0]);
      t_end = without_negative_zero(values[1]);
      return true;
    }
  }
}

bool ask_interval(double t_start, double t_end, double& dt) {
  std::cout << "Enter dt (s), between 5 and 3600s and a multiple of 5s:\n";
  while (true) {
    const double value = read_number();
    if (input_ended()) return false;
    if (!within(value, 5.0, 3600.0)) {
      std::cout << "Invalid entry.  Time interval between two consecutive measurements, must be "
                   "between 5 and 3600s.\n";
      continue;
    }
    const int k = static_cast<int>(value / 5.0);
    const double remainder = value - static_cast<double>(5 * k);
    if (remainder > 0.001 && remainder < 4.999) {
      std::cout << "Invalind entry. Time interval must be a multiple of 5.\n";
      continue;
    }
    // The run counts on dt landing exactly on its 5 s grid.
    const double snapped = std::round(5.0 * value) / 5.0;
    if (!window_holds_a_reading(t_start, t_end, snapped)) {
      std::cout << "Invalid entry.  No multiple of dt lies between the starting and finishing "
                   "time; enter a smaller dt.\n";
      continue;
    }
    dt = snapped;
    return true;
  }
}

bool ask_locations(std::vector<double>& locations) {
  std::cout << "Enter up to 5 locations for the sensors (in cm), between L=0 and L=30cm, "
               "separated by spaces:\n";
  while (true) {
    std::string line = read_line();
    if (input_ended()) return false;
    NumberCount parsed = count_numbers(std::move(line), 5);
    std::vector<double>& values = parsed.first;
    if (!parsed.complete) {
      std::cout << "Invalid entry.  Entered values must be decimal numbers using a decimal "
                   "point, separated by spaces, e.g. \"0.1 .12 0.28\".\n";
      continue;
    }
    if (parsed.count > 5) {
      std::cout << "Invalid entry.  Too many sensor locations were entered (" << parsed.count
                << " locations).  Enter 5 or less.\n";
      continue;
    }
    if (parsed.count == 0) {
      std::cout << "Warning. No sensor locations were entered.\n";
      continue;
    }
    bool all_on_rod = true;
    for (std::size_t i = 0; i < values.size(); ++i) {
      values[i] = without_negative_zero(values[i] / 100.0);
      if (!within(values[i], 0.0, rod_length)) {
        std::cout << "Invalid entry.  Entry no " << i + 1 << " must be between 0 and 30cm.\n";
        all_on_rod = false;
        break;
      }
    }
    if (all_on_rod) {
      locations = values;
      return true;
    }
  }
}

const char* const filename_prompt =
    "Enter the output file name (pass an empty line for default name \"results.txt\"):\n";

// Takes lines until one names a file that can be written; false when input ends first.
// default_on_end: input ending before any answer means the default name.
bool read_filename(std::string& filename, const FileCheck& writable, bool default_on_end) {
  for (bool refused = false;; refused = true) {
    std::string line = read_line();
    const bool ended = input_ended();
    // The student never asked for the default name after a refusal, so it is not taken for them.
    if (ended && (refused || !default_on_end)) return false;
    const std::string name =
        line.empty() ? std::string(default_filename) : std::move(line) + ".txt";
    if (writable(name)) {
      filename = name;
      return true;
    }
    std::cout << "Invalid entry.  The file \"" << name << "\" cannot be written.\n";
    // Without more input the same name would be rejected for ever.
    if (ended) return false;
  }
}

bool ask_filename(std::string& filename, const FileCheck& writable) {
  std::cout << filename_prompt;
  return read_filename(filename, writable, true);
}

void report_run(const RunResult& result, const std::string& filename) {
  if (!result.interrupted) {
    std::cout << "Experiment successful!\n";
  } else if (result.rows > 0) {
    std::cout << "\nExperiment interrupted.  The readings taken so far were written to \""
              << filename << "\".\n";
  } else {
    std::cout << "\nExperiment interrupted.  No readings had been taken.\n";
  }
}

// Repeats the prompt until the line is empty (false) or exactly "restart" (true); end of input
// reads as an empty line.
bool ask_enter_or_restart(const char* prompt) {
  while (true) {
    std::cout << prompt;
    const std::string line = read_line();
    if (line.empty()) return false;
    if (line == "restart") return true;
  }
}

// True when the student asks to enter the parameters again.
bool ask_restart_parameters() {
  return ask_enter_or_restart(
      "Press ENTER to start the experiment or type \"restart\" and ENTER to re-enter the "
      "experimental parameters.\n");
}

// True when the student asks for a new experiment.
bool ask_new_experiment() {
  return ask_enter_or_restart(
      "Press ENTER to exit the simulation or type \"restart\" and ENTER to begin a new "
      "experiment.\n");
}

bool ask_parameters(Settings& settings, const FileCheck& writable) {
  return ask_power(settings.P) && ask_heating_duration(settings.heating_duration) &&
         ask_times(settings.t_start, settings.t_end) &&
         ask_interval(settings.t_start, settings.t_end, settings.dt) &&
         ask_locations(settings.locations) && ask_filename(settings.filename, writable);
}

// The numbers go out under whatever format the previous run left on the stream.
void print_setup(const Settings& settings) {
  std::cout << "\n********* Begin experiment. ***********\n";
  std::cout << "Heater power: " << settings.P << "W,\n";
  std::cout << "Heating duration: " << settings.heating_duration << "s,\n";
  std::cout << "Measurement starting time: " << settings.t_start << "s,\n";
  std::cout << "Measurement finishing time: " << settings.t_end << "s,\n";
  std::cout << "Sensor locations: ";
  for (std::size_t i = 0; i < settings.locations.size(); ++i) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", settings.locations[i] * 100.0);
    std::cout << text << (i + 1 < settings.locations.size() ? "cm, " : "cm.\n\n");
  }
}

RunResult real_run(const Settings& settings) {
  return runSim(settings.P, settings.heating_duration, settings.t_start, settings.t_end,
                settings.dt, settings.locations, settings.filename);
}

void one_second_pause() { pause_for(std::chrono::seconds(1)); }

}  // namespace

int run_dialogue(const ExperimentRun& run, const std::function<void()>& pause,
                 const FileCheck& writable, const ResultsWrite& write) {
  const ExperimentRun experiment = run ? run : ExperimentRun(real_run);
  const std::function<void()> wait = pause ? pause : std::function<void()>(one_second_pause);
  const FileCheck can_write = writable ? writable : FileCheck(file_writable);
  const ResultsWrite write_again = write ? write : ResultsWrite(write_results);
  // A reader that went away, such as a closed pager, must not end an experiment, nor a file-size
  // limit reached by a log of the session; a failed write of the results asks for another name.
  survive_closed_output();
  survive_file_size_limit();
  end_without_core_dump();
  std::cout << "Tavix 2021 Experimental Round, problem E2" << std::endl << std::endl;
  while (true) {
    Settings settings;
    do {
      if (!ask_parameters(settings, can_write)) return 1;
    } while (ask_restart_parameters());
    RunResult result;
    bool has_readings = false;
    bool kept = false;
    {
      // From the setup on, the pause belongs to the run: Ctrl-C there is a run stopped before its
      // first reading.
      const GuardedRun guard;
      print_setup(settings);
      std::cout.flush();
      wait();
      const Interruption early = pending_interruption();
      if (early.requested) {
        result.interrupted = true;
        result.ends_program = early.ends_program;
        result.signal_number = early.signal_number;
      } else {
        result = experiment(settings);
      }
      // The guard lasts until the readings are kept, so that no signal finds them in memory only.
      has_readings = !result.interrupted || result.rows > 0;
      const auto ask_again = [&](std::string& name) {
        std::cout << filename_prompt;
        return read_filename(name, can_write, false);
      };
      kept = !has_readings || keep_results(settings.filename, result, ask_again, write_again);
    }
    if (!kept) {
      if (result.written) report_run(result, settings.filename);
      return 1;
    }
    // A failed last try has had its warning and nothing else is said.
    if (result.written || !has_readings) report_run(result, settings.filename);
    if (result.ends_program) {
      std::cout.flush();
      return 128 + result.signal_number;
    }
    // ENTER pressed while waiting for the run must not answer the closing prompt.
    discard_pending_terminal_input();
    if (!ask_new_experiment()) return 0;
  }
}
