#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform.h"

// New files through POSIX descriptors, shared by the POSIX and the web builds; each platform
// unit finishes them in its own way.

NewFileHandle create_new_file(const std::filesystem::path& path) {
  // O_EXCL: a name someone else made meanwhile, a symlink included, is never taken over.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  return fd < 0 ? no_new_file : fd;
}

bool write_new_file(NewFileHandle file, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(static_cast<int>(file), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

void abandon_new_file(NewFileHandle file) { ::close(static_cast<int>(file)); }

unsigned long process_number() { return static_cast<unsigned long>(::getpid()); }
