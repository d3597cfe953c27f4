#include "files/atomic_file.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <system_error>

#include "platform/platform.h"

namespace fs = std::filesystem;

namespace {

// ".rodheat-", 16 hexadecimal digits and ".tmp".
constexpr std::size_t temporary_name_length = 9 + 16 + 4;

// No system takes a longer path (Linux 4,096 bytes, Windows 32,767 characters of up to 4 bytes
// each), so a longer answer is refused before any copy of it is made.
constexpr std::size_t longest_path = std::size_t{4} * 32767;

// A name cut at a NUL byte would be another file than the one typed.
bool usable_name(const std::string& name) {
  return !name.empty() && name.size() <= longest_path && name.find('\0') == std::string::npos;
}

// The file a write should replace, with every symlink on the way resolved, in the folders as in
// the last part. False when one of them is a link the kernel's symlink protection would not
// follow, or the links go round in a loop.
bool final_target(const fs::path& name, fs::path& target) {
  std::error_code ec;
  fs::path pending = name;
  // The kernel gives up after 40 links; so does this.
  for (int hop = 0; hop <= 40; ++hop) {
    fs::path done;
    // The name with its first link resolved, made apart: an iterator of a path means nothing
    // once that path is given another value.
    fs::path resolved;
    for (auto part = pending.begin(); part != pending.end(); ++part) {
      const fs::path next = done / *part;
      if (!fs::is_symlink(fs::symlink_status(next, ec))) {
        done = next;
        continue;
      }
      if (!may_follow_link(done.empty() ? fs::path(".") : done, next)) return false;
      const fs::path link = fs::read_symlink(next, ec);
      if (ec) return false;
      resolved = link.is_absolute() ? link : done / link;
      for (auto rest = std::next(part); rest != pending.end(); ++rest) resolved /= *rest;
      break;
    }
    if (resolved.empty()) {
      target = done;
      return true;
    }
    pending = resolved;
  }
  return false;
}

fs::path folder_of(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// Unguessable parts of names, so that no other user can take a name before the program: each
// from the system's random source where it has one, from a generator seeded by the clock where
// it has none.
class NamePicker {
 public:
  NamePicker() {
    try {
      device_ = std::make_unique<std::random_device>();
    } catch (...) {
      // No random source: the clock, and a new name for every one taken.
    }
    fallback_.seed(
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        process_number());
  }

  std::string next() {
    std::uint64_t value = fallback_();
    if (device_) {
      try {
        value = (std::uint64_t{(*device_)()} << 32) ^ (*device_)();
      } catch (...) {
      }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
  }

 private:
  std::unique_ptr<std::random_device> device_;
  std::mt19937_64 fallback_;
};

// A new file under the first of name(0), name(1), ... that is free; made holds the name taken.
// Anything but a taken name will not go away by trying another; names with a random part are
// not used up by anyone, and the bound only keeps a file system that calls every name taken
// from holding the program for ever.
std::error_code create_first_free(const Folder& folder, const std::function<fs::path(int)>& name,
                                  NewFile& file, fs::path& made) {
  std::error_code error = std::make_error_code(std::errc::file_exists);
  for (int attempt = 0; attempt < 100000 && error == std::errc::file_exists; ++attempt) {
    made = name(attempt);
    error = create_new_file(folder, made, file);
  }
  return error;
}

// The name is short so that any target name the file system takes leaves room for it.
std::error_code create_temporary(const Folder& folder, NewFile& file) {
  NamePicker picker;
  fs::path made;
  return create_first_free(
      folder, [&](int) { return ".rodheat-" + picker.next() + ".tmp"; }, file, made);
}

// The temporary file goes into the target's own folder, held open, so that the final rename
// never crosses file systems and never lands in a folder swapped in meanwhile. A file that gets
// no further than any step is removed as its object goes.
std::error_code write_beside(const fs::path& target, const std::string& content) {
  Folder folder;
  std::error_code error = open_folder(folder_of(target), folder);
  if (error) return error;
  const fs::path name = target.filename();
  NewFile file;
  if (!(error = create_temporary(folder, file)) && !(error = file.write(content)) &&
      !(error = file.finish(replacement_permissions(folder, name)))) {
    error = file.rename_over(name);
  }
  return error;
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

bool write_file_atomically(const std::string& name, const std::function<void(std::ostream&)>& write,
                           const FileKind& kind) {
  std::ostringstream content;
  write(content);
  fs::path target;
  if (!content || !usable_name(name) || !final_target(name, target)) return false;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(target, ec);
  // A FIFO or device in the way is left as it is, not replaced by a plain file; nor is another
  // user's file in a shared sticky folder.
  if (status.type() != fs::file_type::not_found &&
      (!fs::is_regular_file(status) || !may_replace_file(folder_of(target), target))) {
    return false;
  }
  const std::string bytes = content.str();
  const FileWriteHold hold;
  const bool written = !write_beside(target, bytes);
  // Inside the hold: ended between the rename and here, the program would leave a file unseen.
  if (written) hand_over_file(kind.role, name, bytes, kind.cells);
  return written;
}

std::string reserve_new_file(const std::string& folder, const std::string& stem,
                             const std::string& extension) {
  Folder held;
  if (open_folder(folder, held)) return "";
  NamePicker picker;
  NewFile file;
  fs::path name;
  const std::error_code error = create_first_free(
      held,
      [&](int attempt) {
        return attempt == 0 ? stem + extension : stem + "-" + picker.next() + extension;
      },
      file, name);
  if (error) return "";
  file.keep();
  return (fs::path(folder) / name).string();
}
