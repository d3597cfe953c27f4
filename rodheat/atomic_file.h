#pragma once

#include <functional>
#include <ostream>
#include <string>

// Whether a file of this name can be written: its folder exists and takes new files, and the
// name is absent or names a regular file that can be written (a symlink counts as its target).
// It only looks: nothing is created, opened, changed or removed, so it never blocks.
bool file_writable(const std::string& name);

// Hands write a stream to a new file beside the named one and, once all of it is on disk,
// renames that file over the name; a symlink stays a symlink and its target is replaced. An
// earlier file stays as it was unless the whole new content made it, and a FIFO, device or
// folder of that name is never replaced. On any failure the new file is removed and false
// returned; write still runs, into a stream that drops it.
bool write_file_atomically(const std::string& name,
                           const std::function<void(std::ostream&)>& write);
