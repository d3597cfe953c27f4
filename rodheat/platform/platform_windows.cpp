#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/platform_units.h"

namespace fs = std::filesystem;

namespace {

HANDLE handle_of(std::intptr_t file) { return reinterpret_cast<HANDLE>(file); }

std::error_code last_error() {
  return {static_cast<int>(::GetLastError()), std::system_category()};
}

// The numbers the POSIX build reports for the same events, so that exit statuses agree.
constexpr int interrupt_number = 2;
constexpr int hangup_number = 1;

std::atomic<bool> run_guarded{false};
std::atomic<int> noted_signal{0};
std::atomic<bool> noted_end{false};
std::atomic<int> files_being_written{0};
// Set while nothing is in the middle of a guarded run or a file; a closing console waits on it.
HANDLE settled = nullptr;
DWORD saved_input_mode = 0;
bool input_mode_saved = false;

void update_settled() {
  if (run_guarded || files_being_written > 0) {
    ::ResetEvent(settled);
  } else {
    ::SetEvent(settled);
  }
}

BOOL WINAPI on_console_event(DWORD event) {
  const bool closing = event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT;
  if (run_guarded) {
    if (!noted_end) noted_signal = closing ? hangup_number : interrupt_number;
    if (closing) noted_end = true;
  }
  if (!closing && run_guarded) return TRUE;
  // Ending the process now could leave a file half made; a closing console allows about five
  // seconds before Windows ends the process anyway.
  ::WaitForSingleObject(settled, closing ? 4500 : INFINITE);
  if (noted_end) ::ExitProcess(128 + hangup_number);
  return FALSE;
}

void watch_console_events() {
  if (settled != nullptr) return;
  settled = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
  ::SetConsoleCtrlHandler(on_console_event, TRUE);
}

}  // namespace

// A folder is named by its path here: a folder in use cannot be renamed on Windows anyway.
Folder::~Folder() = default;

std::error_code open_folder(const fs::path& path, Folder& folder) {
  folder = Folder(-1, path);
  return {};
}

std::error_code create_new_file(const Folder& folder, const fs::path& name, NewFile& file) {
  // CREATE_NEW so that a file someone else made meanwhile is never taken over.
  const HANDLE made = ::CreateFileW((folder.path() / name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (made == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      return std::make_error_code(std::errc::file_exists);
    }
    return {static_cast<int>(error), std::system_category()};
  }
  file = NewFile(reinterpret_cast<std::intptr_t>(made), folder, name);
  return {};
}

NewFile::~NewFile() {
  close();
  if (folder_ != nullptr) ::DeleteFileW((folder_->path() / name_).c_str());
}

void NewFile::close() {
  if (handle_ != -1) ::CloseHandle(handle_of(handle_));
  handle_ = -1;
}

std::error_code NewFile::write(const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(handle_of(handle_), data.data() + done, chunk, &written, nullptr)) {
      return last_error();
    }
    if (written == 0) return std::make_error_code(std::errc::io_error);
    done += written;
  }
  return {};
}

// Access lists, not permission bits, protect files here; a new file inherits its folder's.
std::error_code NewFile::finish(fs::perms) {
  std::error_code error;
  if (!::FlushFileBuffers(handle_of(handle_))) error = last_error();
  const HANDLE file = handle_of(handle_);
  handle_ = -1;
  if (!::CloseHandle(file) && !error) error = last_error();
  return error;
}

std::error_code NewFile::rename_over(const fs::path& to) {
  if (!::MoveFileExW((folder_->path() / name_).c_str(), (folder_->path() / to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return last_error();
  }
  folder_ = nullptr;
  return {};
}

FileWriteHold::FileWriteHold() {
  watch_console_events();
  ++files_being_written;
  update_settled();
}

FileWriteHold::~FileWriteHold() {
  --files_being_written;
  update_settled();
}

// Asked as on every platform, but nothing here gives a file these bits: NewFile::finish
// ignores them, and the new file's access list, inherited from its folder, protects it.
fs::perms replacement_permissions(const Folder& folder, const fs::path& name) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(folder.path() / name, ec);
  if (!fs::is_regular_file(status)) return new_file_permissions();
  return status.permissions() & fs::perms::all;
}

fs::perms new_file_permissions() {
  return fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
         fs::perms::others_read;
}

unsigned long process_number() { return ::GetCurrentProcessId(); }

fs::path temporary_folder() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  return length > 0 && length <= MAX_PATH ? fs::path(folder) : fs::path(L"C:\\Windows\\Temp");
}

// Folder permissions are access lists that only an attempt would test; a folder is taken as
// writable, and a refusal shows when the results are written.
bool may_write_folder(const fs::path& folder) {
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool may_write_file(const fs::path& file) {
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

// Windows has no sticky folders.
bool may_replace_file(const fs::path&, const fs::path&) { return true; }

// Windows has no rule for links in shared folders to mirror (any user makes them in developer
// mode, administrators otherwise), so every link is followed, as Windows itself would.
bool may_follow_link(const fs::path&, const fs::path&) { return true; }

bool name_fits(const fs::path& folder, const fs::path& name, std::size_t temporary_length) {
  if (name.native().size() > 255) return false;
  const std::size_t longest = std::max(name.native().size(), temporary_length);
  // Paths without the long-path prefix stop at MAX_PATH characters, the closing NUL included.
  return folder.native().size() + 1 + longest + 1 <= MAX_PATH;
}

// Windows has no signal for a file-size limit; a failed write is reported as an error already.
void survive_file_size_limit() {}

// A write to a closed pipe fails with an error here; no signal ends the process.
void survive_closed_output() {}

void discard_pending_terminal_input() {
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  // Only a console has a mode; a pipe or file keeps its content.
  if (input != INVALID_HANDLE_VALUE && ::GetConsoleMode(input, &mode)) {
    ::FlushConsoleInputBuffer(input);
  }
}

void start_guarded_run() {
  watch_console_events();
  noted_signal = 0;
  noted_end = false;
  run_guarded = true;
  update_settled();
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  input_mode_saved = input != INVALID_HANDLE_VALUE && ::GetConsoleMode(input, &saved_input_mode);
  if (input_mode_saved) ::SetConsoleMode(input, saved_input_mode & ~ENABLE_ECHO_INPUT);
}

Interruption pending_interruption() { return noted_interruption(noted_signal, noted_end); }

void stop_guarded_run() {
  if (input_mode_saved) ::SetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), saved_input_mode);
  input_mode_saved = false;
  run_guarded = false;
  update_settled();
}

// A console's Ctrl-C ends the wait for a line by itself; the event is only noted.
GuardedQuestion::GuardedQuestion() {
  noted_signal = 0;
  noted_end = false;
  if (input_mode_saved) ::SetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), saved_input_mode);
}

GuardedQuestion::~GuardedQuestion() {
  if (input_mode_saved) {
    ::SetConsoleMode(::GetStdHandle(STD_INPUT_HANDLE), saved_input_mode & ~ENABLE_ECHO_INPUT);
  }
}

void offer_readings_so_far(const std::string&, const std::function<std::string()>&,
                           const std::function<TableCells()>&) {}

void hand_over_file(FileRole, const std::string&, const std::string&, const TableCells&) {}
