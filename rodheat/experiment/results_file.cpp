#include "experiment/results_file.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "files/atomic_file.h"

namespace {

// rodheat-YYYYmmdd-HHMMSS-PID: the name, without its folder, that readings get in the system's
// temporary folder when the name chosen did not take them.
std::string fallback_stem() {
  const std::time_t now = std::time(nullptr);
  char stamp[32] = "";
  if (const std::tm* local = std::localtime(&now)) {
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", local);
  }
  return "rodheat-" + std::string(stamp) + "-" + std::to_string(process_number());
}

void warn_not_written(const std::string& filename) {
  std::cout << "Warning. The results could not be written to \"" << filename << "\".\n";
}

// When the program must end, or the student stops, before a name took the readings: one try in
// the temporary folder, reported as an interrupted run's file; the warning if that fails too.
// The name is made this program's own before the readings go in, with a random part where
// another file took it first.
void keep_in_temporary_folder(std::string& filename, RunResult& result, const ResultsWrite& write) {
  const std::string stem = fallback_stem();
  const std::string reserved = reserve_new_file(temporary_folder().string(), stem, ".txt");
  filename = reserved.empty() ? (temporary_folder() / (stem + ".txt")).string() : reserved;
  result.interrupted = true;
  result.written = write(filename, result, FileRole::kept);
  if (!result.written) {
    std::error_code ec;
    if (!reserved.empty()) std::filesystem::remove(reserved, ec);
    warn_not_written(filename);
  }
}

}  // namespace

bool write_results(const std::string& name, const RunResult& run, FileRole role) {
  return write_file_atomically(
      name, [&](std::ostream& file) { file << run.results; }, FileKind{role, run.cells});
}

bool keep_results(std::string& filename, RunResult& result, const NameQuestion& ask_again,
                  const ResultsWrite& write) {
  while (!result.written) {
    warn_not_written(filename);
    if (result.ends_program) {
      keep_in_temporary_folder(filename, result, write);
      return true;
    }
    discard_pending_terminal_input();
    bool named = false;
    Interruption noted;
    {
      const GuardedQuestion question;
      named = ask_again(filename);
      noted = pending_interruption();
    }
    if (noted.requested) {
      // The interrupted read left the stream failed; the closing prompt reads on.
      std::cin.clear();
      std::clearerr(stdin);
      result.ends_program = noted.ends_program;
      result.signal_number = noted.signal_number;
      keep_in_temporary_folder(filename, result, write);
      return true;
    }
    if (!named) {
      // Input ended: a closed window's hangup may come only after its end of input, and a
      // student's Ctrl-D must not lose the readings either. They get the one try; the program
      // ends as input ending ends it, or as the hangup does if it came meanwhile.
      keep_in_temporary_folder(filename, result, write);
      const Interruption late = pending_interruption();
      result.ends_program = late.ends_program;
      result.signal_number = late.signal_number;
      return result.ends_program;
    }
    result.written = write(filename, result, FileRole::results);
  }
  return true;
}
