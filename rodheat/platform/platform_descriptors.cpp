#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace fs = std::filesystem;

// New files through POSIX descriptors in a folder held open, shared by the POSIX and the web
// builds; each platform unit finishes them in its own way.

namespace {

int descriptor(const Folder& folder) { return static_cast<int>(folder.handle); }

}  // namespace

bool open_folder(const fs::path& path, Folder& folder) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  folder.handle = fd;
  folder.path = path;
  return true;
}

void close_folder(const Folder& folder) { ::close(descriptor(folder)); }

NewFileHandle create_new_file(const Folder& folder, const fs::path& name, bool& name_taken) {
  // O_EXCL: a name someone else made meanwhile, a symlink included, is never taken over.
  const int fd =
      ::openat(descriptor(folder), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  name_taken = fd < 0 && errno == EEXIST;
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

bool rename_durably(const Folder& folder, const fs::path& from, const fs::path& to) {
  if (::renameat(descriptor(folder), from.c_str(), descriptor(folder), to.c_str()) != 0) {
    return false;
  }
  // The new name is in place either way; syncing its folder only makes it survive a power cut.
  ::fsync(descriptor(folder));
  return true;
}

void remove_new_file(const Folder& folder, const fs::path& name) {
  ::unlinkat(descriptor(folder), name.c_str(), 0);
}

fs::perms replacement_permissions(const Folder& folder, const fs::path& name) {
  struct stat info {};
  // Never through a link, and never another user's bits: a planted file decides nothing.
  if (::fstatat(descriptor(folder), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    return new_file_permissions();
  }
  return static_cast<fs::perms>(info.st_mode) & fs::perms::all;
}

fs::perms new_file_permissions() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<fs::perms>(0666 & ~mask);
}

unsigned long process_number() { return static_cast<unsigned long>(::getpid()); }
