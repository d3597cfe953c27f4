#include "atomic_file.h"

#include <filesystem>
#include <sstream>
#include <system_error>

#include "platform.h"

namespace fs = std::filesystem;

namespace {

// ".rodheat-", a process number, "-", a counter and ".tmp" never take more.
constexpr std::size_t temporary_name_length = 9 + 20 + 1 + 10 + 4;

// A name cut at a NUL byte would be another file than the one typed.
bool usable_name(const std::string& name) {
  return !name.empty() && name.find('\0') == std::string::npos;
}

// The file a write should replace: the end of a chain of symlinks, or the name itself. False
// when a link on the way is one the kernel's symlink protection would not follow.
bool final_target(fs::path path, fs::path& target) {
  std::error_code ec;
  // A longer chain is a loop; the platform refuses it anyway.
  for (int hop = 0; hop < 40 && fs::is_symlink(fs::symlink_status(path, ec)); ++hop) {
    if (!may_follow_link(path)) return false;
    const fs::path link = fs::read_symlink(path, ec);
    if (ec) break;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  target = path;
  return true;
}

fs::path folder_of(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// Same folder as the target, so that the final rename never crosses file systems; the name is
// short so that any target name the file system takes leaves room for it.
NewFileHandle create_temporary_beside(const fs::path& target, fs::path& temporary) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = folder_of(target) / (".rodheat-" + std::to_string(process_number()) +
                                                    "-" + std::to_string(++counter) + ".tmp");
    const NewFileHandle file = create_new_file(candidate);
    if (file != no_new_file) {
      temporary = candidate;
      return file;
    }
    std::error_code ec;
    // Anything but a name collision will not go away by trying another name.
    if (!fs::exists(fs::symlink_status(candidate, ec))) return no_new_file;
  }
  return no_new_file;
}

// A replaced file's bits without setuid, setgid and sticky; a new one has what a new file gets.
fs::perms final_permissions(const fs::path& target) {
  std::error_code ec;
  const fs::file_status status = fs::status(target, ec);
  if (!fs::is_regular_file(status)) return new_file_permissions();
  return status.permissions() & fs::perms::all;
}

bool write_and_rename(NewFileHandle file, const fs::path& temporary, const fs::path& target,
                      const std::ostringstream& content) {
  if (!content || !write_new_file(file, content.str())) {
    abandon_new_file(file);
    return false;
  }
  return finish_new_file(file, final_permissions(target)) && rename_durably(temporary, target);
}

}  // namespace

bool file_writable(const std::string& name) {
  fs::path target;
  if (!usable_name(name) || !final_target(name, target)) return false;
  std::error_code ec;
  const fs::path folder = folder_of(target);
  if (!fs::is_directory(folder, ec) || !may_write_folder(folder)) return false;
  if (!name_fits(folder, target.filename(), temporary_name_length)) return false;
  const fs::file_status status = fs::symlink_status(target, ec);
  if (status.type() == fs::file_type::not_found) return true;
  // Directories, FIFOs, devices and sockets are refused without ever being opened.
  return fs::is_regular_file(status) && may_write_file(target) && may_replace_file(folder, target);
}

bool write_file_atomically(const std::string& name,
                           const std::function<void(std::ostream&)>& write) {
  survive_file_size_limit();
  fs::path target;
  const bool followed = usable_name(name) && final_target(name, target);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  // A FIFO or device in the way is left as it is, not replaced by a plain file.
  const bool replaceable =
      followed && (status.type() == fs::file_type::not_found || fs::is_regular_file(status));
  begin_file_write();
  fs::path temporary;
  const NewFileHandle file = replaceable ? create_temporary_beside(target, temporary) : no_new_file;
  std::ostringstream content;
  write(content);
  bool ok = false;
  if (file != no_new_file) {
    ok = write_and_rename(file, temporary, target, content);
    if (!ok) fs::remove(temporary, ec);
  }
  end_file_write();
  return ok;
}
