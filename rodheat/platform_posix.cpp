#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include "platform.h"

bool create_new_file(const std::filesystem::path& path) {
  // O_EXCL so that a file someone else made meanwhile is never taken over.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  return ::close(fd) == 0;
}

bool may_write_folder(const std::filesystem::path& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

bool may_write_file(const std::filesystem::path& file) {
  return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
}

void survive_file_size_limit() { ::signal(SIGXFSZ, SIG_IGN); }

void discard_pending_terminal_input() {
  if (::isatty(STDIN_FILENO)) ::tcflush(STDIN_FILENO, TCIFLUSH);
}
