#include <emscripten.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "platform/platform_units.h"

namespace fs = std::filesystem;

// The page's side of discarding typed-ahead keys, of its Stop, of the run's start and end, and of
// the readings and files it keeps, in the program's JavaScript library.
extern "C" void labsim_discard_input();
extern "C" void labsim_run_event(int running);
extern "C" int labsim_stop_requested();
extern "C" void labsim_forget_stop();
extern "C" void labsim_readings(const char* name, std::size_t name_length, const char* bytes,
                                std::size_t length, const char* cells, std::size_t cells_length);
extern "C" void labsim_hand_over_file(const char* role, const char* name, std::size_t name_length,
                                      const char* bytes, std::size_t length, const char* cells,
                                      std::size_t cells_length);

// The page's file system lives in memory and has one user: no bits to set, no device to sync.
std::error_code NewFile::finish(fs::perms) {
  const int fd = static_cast<int>(handle_);
  handle_ = -1;
  if (::close(fd) != 0) return {errno, std::generic_category()};
  return {};
}

// No signal can end a program in the page between two of its own steps.
FileWriteHold::FileWriteHold() = default;
FileWriteHold::~FileWriteHold() = default;

// The browser's file system has one user; AT_EACCESS aborts there, and flags 0 asks the same.
bool may_write_folder(const fs::path& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, 0) == 0;
}

bool may_write_file(const fs::path& file) {
  return ::faccessat(AT_FDCWD, file.c_str(), W_OK, 0) == 0;
}

// One user, no sticky folders and no neighbours' links.
bool may_replace_file(const fs::path&, const fs::path&) { return true; }
bool may_follow_link(const fs::path&, const fs::path&) { return true; }

// The limits of a Linux machine, so that the page refuses the names a lab computer would.
bool name_fits(const fs::path& folder, const fs::path& name, std::size_t temporary_length) {
  if (name.native().size() > 255 || temporary_length > 255) return false;
  return folder.native().size() + 1 + name.native().size() + 1 <= 4096;
}

// The browser's file system has no size limit, and the page's terminal is never a closed pipe.
void survive_file_size_limit() {}
void survive_closed_output() {}

// A thread sleep would busy-wait and freeze the page; this one hands control back to it. Shorter
// waits are left to the absolute schedule: a yield costs more than a model step.
void pause_for(std::chrono::nanoseconds duration) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
  if (ms >= 2) emscripten_sleep(static_cast<unsigned>(ms));
}

// Any folder in the browser's memory would do, as the page is handed what is kept; this one's own.
fs::path temporary_folder() { return "."; }

// tcflush aborts under the browser's runtime; the keys wait in the page, which drops them.
void discard_pending_terminal_input() { labsim_discard_input(); }

// The page's Stop and Ctrl-C are the console's Ctrl-C; the page hides keys typed during a run.
void start_guarded_run() {
  labsim_forget_stop();
  labsim_run_event(1);
}

Interruption pending_interruption() {
  return noted_interruption(labsim_stop_requested() != 0 ? SIGINT : 0, false);
}

// A Stop that arrives after the last step must not stop the next run.
void stop_guarded_run() {
  labsim_forget_stop();
  labsim_run_event(0);
}

// As on a console, a question starts with fresh notes, and so does the run after it.
GuardedQuestion::GuardedQuestion() { labsim_forget_stop(); }
GuardedQuestion::~GuardedQuestion() { labsim_forget_stop(); }

namespace {

// No cell holds a tab or a line end, so these two separate them for the page's side to split.
std::string joined(const TableCells& cells) {
  std::string text;
  for (std::size_t r = 0; r < cells.size(); ++r) {
    if (r > 0) text += '\n';
    for (std::size_t c = 0; c < cells[r].size(); ++c) {
      if (c > 0) text += '\t';
      text += cells[r][c];
    }
  }
  return text;
}

const char* role_name(FileRole role) {
  if (role == FileRole::results) return "results";
  return role == FileRole::kept ? "kept" : "diagnostic";
}

}  // namespace

void offer_readings_so_far(const std::string& name, const std::function<std::string()>& results,
                           const std::function<TableCells()>& cells) {
  const std::string content = results();
  const std::string table = joined(cells());
  labsim_readings(name.data(), name.size(), content.data(), content.size(), table.data(),
                  table.size());
}

void hand_over_file(FileRole role, const std::string& name, const std::string& content,
                    const TableCells& cells) {
  const std::string table = joined(cells);
  labsim_hand_over_file(role_name(role), name.data(), name.size(), content.data(), content.size(),
                        table.data(), table.size());
}
