#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/platform.h"

namespace fs = std::filesystem;

// New files through POSIX descriptors in a folder held open, shared by the POSIX and the web
// builds; each platform unit finishes them in its own way.

namespace {

int descriptor(const Folder& folder) { return static_cast<int>(folder.handle()); }

std::error_code last_error() { return {errno, std::generic_category()}; }

}  // namespace

Folder::~Folder() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::error_code open_folder(const fs::path& path, Folder& folder) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return last_error();
  folder = Folder(fd, path);
  return {};
}

std::error_code create_new_file(const Folder& folder, const fs::path& name, NewFile& file) {
  // O_EXCL: a name someone else made meanwhile, a symlink included, is never taken over.
  const int fd =
      ::openat(descriptor(folder), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return last_error();
  file = NewFile(fd, folder, name);
  return {};
}

NewFile::~NewFile() {
  close();
  if (folder_ != nullptr) ::unlinkat(descriptor(*folder_), name_.c_str(), 0);
}

void NewFile::close() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = -1;
}

std::error_code NewFile::write(const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(static_cast<int>(handle_), data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return last_error();
    // A write that takes nothing and reports no error would repeat for ever.
    if (n == 0) return std::make_error_code(std::errc::io_error);
    done += static_cast<std::size_t>(n);
  }
  return {};
}

std::error_code NewFile::rename_over(const fs::path& to) {
  const int fd = descriptor(*folder_);
  if (::renameat(fd, name_.c_str(), fd, to.c_str()) != 0) return last_error();
  folder_ = nullptr;
  // The new name is in place either way; syncing its folder only makes it survive a power cut.
  ::fsync(fd);
  return {};
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
