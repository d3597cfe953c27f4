#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "platform/platform.h"

// Whether a file of this name can be written: its folder exists and takes new files, the name
// fits the file system, and it is absent or names a regular file that may be written and
// replaced (a symlink, in a folder of the name as at its end, counts as its target where the
// kernel would follow it). It only looks: nothing is created, changed or removed, and nothing
// is opened but the folder, read-only, for its append-only flag, so it never blocks.
bool file_writable(const std::string& name);

// What a file is to hand_over_file: by default a diagnostic file, without a table.
struct FileKind {
  FileRole role = FileRole::diagnostic;
  TableCells cells;
};

// Hands write a stream whose content goes into a new file that only this call created beside
// the named one; once that file is on the storage device it is renamed over the name. A symlink
// stays a symlink and its target is replaced, where the kernel would follow it. An earlier file
// stays as it was unless the whole new content made it, and a FIFO, device or folder of that
// name is never replaced, nor another user's file in a shared sticky folder. On any failure the
// new file is removed and false returned; write still runs, before anything is created. Signals
// that would end the program wait until the file is complete or removed, and until the complete
// file is handed over (hand_over_file) as kind says.
bool write_file_atomically(const std::string& name, const std::function<void(std::ostream&)>& write,
                           const FileKind& kind = FileKind{});

// Makes an empty file of this user's alone in the folder, named stem + extension or, where that
// name is taken, stem, a dash, a random part and extension, so that a name planted in a shared
// folder never stops it; write_file_atomically then fills it. Returns its path, or an empty
// string when the folder takes no new file.
std::string reserve_new_file(const std::string& folder, const std::string& stem,
                             const std::string& extension);
