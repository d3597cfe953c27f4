#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

// What rodheat needs of its platform beyond the standard library: files, signals, the terminal,
// and a pause that lets a browser's page run. Each platform (POSIX, Windows, the browser) has its
// own implementation file, chosen by the build.

// --- new files, written only through the object that created them, in a folder held open ---
// A failed call gives the system's error (errno, or Windows' error code), so that the caller
// decides what it means; a name already taken compares equal to std::errc::file_exists.

// A folder held open while a file is made in it, so that the folder renamed or swapped for a
// link meanwhile cannot send the file elsewhere; where a platform holds no folder open, its path
// alone. The folder is closed when the object goes.
class Folder {
 public:
  Folder() = default;
  Folder(Folder&& other) noexcept { swap(other); }
  Folder& operator=(Folder&& other) noexcept {
    swap(other);
    return *this;
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  ~Folder();

  const std::filesystem::path& path() const { return path_; }
  std::intptr_t handle() const { return handle_; }

 private:
  friend std::error_code open_folder(const std::filesystem::path& path, Folder& folder);
  Folder(std::intptr_t handle, std::filesystem::path path)
      : handle_(handle), path_(std::move(path)) {}
  void swap(Folder& other) noexcept {
    std::swap(handle_, other.handle_);
    path_.swap(other.path_);
  }

  std::intptr_t handle_ = -1;
  std::filesystem::path path_;
};

std::error_code open_folder(const std::filesystem::path& path, Folder& folder);

// A file that did not exist before, made in a folder held open, readable and writable by its
// owner alone and written only through this object. Until it is renamed into place or kept, the
// object owns its name: an abandoned file is removed when the object goes. Its folder outlives
// it.
class NewFile {
 public:
  NewFile() = default;
  NewFile(NewFile&& other) noexcept { swap(other); }
  NewFile& operator=(NewFile&& other) noexcept {
    swap(other);
    return *this;
  }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;
  ~NewFile();

  // Writes all of data at the end of the file.
  std::error_code write(const std::string& data);
  // Gives the file its final permission bits, puts its content on the storage device and closes
  // it; closed whatever the outcome, and still removed if it goes no further.
  std::error_code finish(std::filesystem::perms permissions);
  // Renames the finished file over to, in its folder, and puts the folder's changed entry on the
  // storage device; the file is then no longer this object's to remove.
  std::error_code rename_over(const std::filesystem::path& to);
  // Closes the file and leaves it under its name.
  void keep();

 private:
  friend std::error_code create_new_file(const Folder& folder, const std::filesystem::path& name,
                                         NewFile& file);
  NewFile(std::intptr_t handle, const Folder& folder, std::filesystem::path name)
      : handle_(handle), folder_(&folder), name_(std::move(name)) {}
  void swap(NewFile& other) noexcept {
    std::swap(handle_, other.handle_);
    std::swap(folder_, other.folder_);
    name_.swap(other.name_);
  }
  void close();

  std::intptr_t handle_ = -1;
  // Set while the name is this object's to remove.
  const Folder* folder_ = nullptr;
  std::filesystem::path name_;
};

std::error_code create_new_file(const Folder& folder, const std::filesystem::path& name,
                                NewFile& file);

// While one lives, a signal that would end the program waits, so that no temporary file is left
// behind and no file is left half written.
class FileWriteHold {
 public:
  FileWriteHold();
  ~FileWriteHold();
  FileWriteHold(const FileWriteHold&) = delete;
  FileWriteHold& operator=(const FileWriteHold&) = delete;
};

// The bits a file replacing name gets: those of the file there, without setuid, setgid and
// sticky, where it is a regular file of this user's (never through a link); otherwise those of
// a new file.
std::filesystem::perms replacement_permissions(const Folder& folder,
                                               const std::filesystem::path& name);

// The permission bits a new file gets under this process's file-creation mask.
std::filesystem::perms new_file_permissions();

// A number no other running process has, for names of files.
unsigned long process_number();

// The system's folder for temporary files: /tmp on POSIX, the one Windows names for the user
// (which follows its TMP and TEMP settings); the program itself reads no environment variable.
// In a browser, the program's own folder.
std::filesystem::path temporary_folder();

// --- looking only: nothing is created, opened for writing, changed or removed; only the
// folder is opened, read-only, where its append-only flag can be read no other way ---

// Whether this process may create files in the folder: it still exists (a removed working
// folder has no links left), takes new entries (effective IDs, where the platform has them) and
// is not append-only.
bool may_write_folder(const std::filesystem::path& folder);

// Whether this process may write the existing file (effective IDs, where the platform has them).
bool may_write_file(const std::filesystem::path& file);

// Whether a rename over this existing file would be allowed: in a sticky folder, only a file of
// this user's or of the folder owner's may be replaced.
bool may_replace_file(const std::filesystem::path& folder, const std::filesystem::path& file);

// Whether the kernel's protected-symlink rule lets this process follow the link in folder: in a
// sticky folder that others may write, only links of this user's or of the folder owner's.
bool may_follow_link(const std::filesystem::path& folder, const std::filesystem::path& link);

// Whether a file of this name, and a temporary name of up to temporary_length bytes beside it,
// fit the folder's file system and the system's limit on path lengths, as the system counts
// them for a file made in a folder held open.
bool name_fits(const std::filesystem::path& folder, const std::filesystem::path& name,
               std::size_t temporary_length);

// --- the process and its terminal ---

// Makes a write beyond the file-size limit fail with an error instead of ending the process, for
// the rest of its life.
void survive_file_size_limit();

// Makes output to a closed pipe fail quietly instead of ending the process.
void survive_closed_output();

// Drops keys typed at a terminal that the program has not read yet; leaves a pipe or file alone.
void discard_pending_terminal_input();

// Waits for the duration, and in a browser lets the page run meanwhile; a wait too short to hand
// back may return at once, which a run's absolute schedule absorbs.
void pause_for(std::chrono::nanoseconds duration);

// What asked a guarded run to stop: nothing, Ctrl-C, or the end of the program (a closed
// terminal window or a termination request), with the signal's number.
struct Interruption {
  bool requested = false;
  bool ends_program = false;
  int signal_number = 0;
};

// While a GuardedRun lives, Ctrl-C, Ctrl-\ (quit), a closed terminal window, termination requests
// and every other signal that would end the program are only noted (those ignored when the program
// started stay ignored; a fault signal only when another process sends it, while a real fault
// gives the terminal back and ends the program as it would have), and a terminal does not echo
// typed keys; its end restores both as they were. A request to end resumes a terminal paused by
// Ctrl-S, and from then on output that the terminal has taken none of for about a second, or
// none of when a second request comes, is thrown away, so that the end never waits for a screen
// that takes nothing; a slow one loses nothing. After such a request the guard lasts until the
// exit. A run stopped by Ctrl-Z gives the terminal back as it was, and takes it again when
// continued in the foreground; in the background it leaves the terminal to the job that has it,
// and ended there (kill %1) it ends as in the foreground. Guards may nest; only the outermost
// begins and ends the guard, and in a browser tells the page.
class GuardedRun {
 public:
  GuardedRun();
  ~GuardedRun();
  GuardedRun(const GuardedRun&) = delete;
  GuardedRun& operator=(const GuardedRun&) = delete;
};

// What the guard has noted so far.
Interruption pending_interruption();

// Within a guarded run, while one lives, a question waits for its answer: the terminal echoes as
// usual, the notes start afresh, and a signal ends the wait for a line, which then reads as
// ended input.
class GuardedQuestion {
 public:
  GuardedQuestion();
  ~GuardedQuestion();
  GuardedQuestion(const GuardedQuestion&) = delete;
  GuardedQuestion& operator=(const GuardedQuestion&) = delete;
};

// --- what a browser's page is handed ---

// A readings table row by row: the time, then each sensor's reading, as the results file writes
// them but without their padding.
using TableCells = std::vector<std::vector<std::string>>;

// After each reading of a run: the results file the run would write under name if it were
// stopped right there, and its table's cells. A browser's page keeps them, so that a page closed
// during the run loses no reading; elsewhere the guarded run keeps them itself, and neither
// function is called.
void offer_readings_so_far(const std::string& name, const std::function<std::string()>& results,
                           const std::function<TableCells()>& cells);

// What a finished file is: a run's results under the name the student chose, the readings kept
// in the temporary folder when no name took them, or any other file of the program's.
enum class FileRole { results, kept, diagnostic };

// A file complete under its final name, once: a browser's page keeps it, with the table's cells
// of results and kept readings (empty for a diagnostic file). Elsewhere the file on disk is all
// there is, and nothing happens.
void hand_over_file(FileRole role, const std::string& name, const std::string& content,
                    const TableCells& cells);
