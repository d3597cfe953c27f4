#include "atomic_file.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform.h"

namespace fs = std::filesystem;

namespace {

// A name cut at a NUL byte would be another file than the one typed.
bool usable_name(const std::string& name) {
  return !name.empty() && name.find('\0') == std::string::npos;
}

// The file a write should replace: the end of a chain of symlinks, or the name itself.
fs::path final_target(fs::path path) {
  std::error_code ec;
  // A longer chain is a loop; the platform refuses it anyway.
  for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hop) {
    const fs::path link = fs::read_symlink(path, ec);
    if (ec) break;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return path;
}

fs::path folder_of(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// Same folder as the target, so that the final rename never crosses file systems.
bool create_temporary_beside(const fs::path& target, fs::path& temporary) {
  static unsigned counter = 0;
  const auto stamp =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = folder_of(target) / ("." + target.filename().string() + "." +
                                                    std::to_string(stamp % 1000000007ULL) + "-" +
                                                    std::to_string(++counter) + ".tmp");
    if (create_new_file(candidate)) {
      temporary = candidate;
      return true;
    }
    std::error_code ec;
    // Anything but a name collision will not go away by trying another name.
    if (!fs::exists(candidate, ec)) return false;
  }
  return false;
}

// A replaced file keeps its permission bits; a new one has what a new file gets.
bool keep_permissions(const fs::path& target, const fs::path& temporary) {
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (!fs::is_regular_file(status)) return true;
  fs::permissions(temporary, status.permissions(), fs::perm_options::replace, ec);
  return !ec;
}

}  // namespace

bool file_writable(const std::string& name) {
  if (!usable_name(name)) return false;
  const fs::path target = final_target(name);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  const fs::path folder = folder_of(target);
  if (!fs::is_directory(folder, ec) || !may_write_folder(folder)) return false;
  if (status.type() == fs::file_type::not_found) return true;
  // Directories, FIFOs, devices and sockets are refused without ever being opened.
  return fs::is_regular_file(status) && may_write_file(target);
}

bool write_file_atomically(const std::string& name,
                           const std::function<void(std::ostream&)>& write) {
  survive_file_size_limit();
  const fs::path target = usable_name(name) ? final_target(name) : fs::path();
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  // A FIFO or device in the way is left as it is, not replaced by a plain file.
  const bool replaceable =
      !target.empty() && (status.type() == fs::file_type::not_found || fs::is_regular_file(status));
  fs::path temporary;
  std::ofstream file;
  // Binary, so that every platform writes the same bytes with single line feeds.
  if (replaceable && create_temporary_beside(target, temporary)) {
    file.open(temporary, std::ios::binary | std::ios::trunc);
  }
  if (!file.is_open()) file.setstate(std::ios::failbit);
  write(file);
  file.flush();
  file.close();
  bool ok = !temporary.empty() && !file.fail() && keep_permissions(target, temporary);
  if (ok) {
    fs::rename(temporary, target, ec);
    ok = !ec;
  }
  if (!ok && !temporary.empty()) fs::remove(temporary, ec);
  return ok;
}
