#pragma once

#include <filesystem>

// The few operating-system services rodheat needs beyond the standard library; each platform
// has its own implementation file, chosen by the build.

// Creates an empty file that did not exist before; false when the name is taken or the folder
// refuses it. The new file gets the permissions a plain new file would get.
bool create_new_file(const std::filesystem::path& path);

// Whether this process may create files in the folder (effective IDs, where the platform has them).
bool may_write_folder(const std::filesystem::path& folder);

// Whether this process may write the existing file (effective IDs, where the platform has them).
bool may_write_file(const std::filesystem::path& file);

// Makes a write beyond the file-size limit fail with an error instead of ending the process.
void survive_file_size_limit();

// Drops keys typed at a terminal that the program has not read yet; leaves a pipe or file alone.
void discard_pending_terminal_input();
