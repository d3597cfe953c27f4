#include <windows.h>

#include "platform.h"

bool create_new_file(const std::filesystem::path& path) {
  // CREATE_NEW so that a file someone else made meanwhile is never taken over.
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  return ::CloseHandle(file) != 0;
}

// Folder permissions are access lists that only an attempt would test; a folder is taken as
// writable, and a refusal shows when the results are written.
bool may_write_folder(const std::filesystem::path& folder) {
  const DWORD attributes = ::GetFileAttributesW(folder.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool may_write_file(const std::filesystem::path& file) {
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

// Windows has no signal for a file-size limit; a failed write is reported as an error already.
void survive_file_size_limit() {}

void discard_pending_terminal_input() {
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  // Only a console has a mode; a pipe or file keeps its content.
  if (input != INVALID_HANDLE_VALUE && ::GetConsoleMode(input, &mode)) {
    ::FlushConsoleInputBuffer(input);
  }
}
