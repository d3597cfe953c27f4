#include <emscripten.h>
#include <fcntl.h>
#include <unistd.h>

#include "platform.h"

// The page's side of discarding typed-ahead keys, in the program's JavaScript library.
extern "C" void labsim_discard_input();

bool create_new_file(const std::filesystem::path& path) {
  // O_EXCL so that a file someone else made meanwhile is never taken over.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  return ::close(fd) == 0;
}

// The browser's file system has one user; AT_EACCESS aborts there, and flags 0 asks the same.
bool may_write_folder(const std::filesystem::path& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, 0) == 0;
}

bool may_write_file(const std::filesystem::path& file) {
  return ::faccessat(AT_FDCWD, file.c_str(), W_OK, 0) == 0;
}

// The browser's file system has no size limit and no signals.
void survive_file_size_limit() {}

// tcflush aborts under the browser's runtime; the keys wait in the page, which drops them.
void discard_pending_terminal_input() { labsim_discard_input(); }
