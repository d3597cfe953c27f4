#include <windows.h>

#include "child_process.h"

int exit_status_under_file_size_limit(std::uintmax_t, const std::function<int()>&) { return -2; }

int exit_status_as_other_user(const std::function<int()>&) { return -2; }

// Reaches this process only when it shares a console with the caller.
bool raise_interrupt() { return ::GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) != 0; }

bool make_fifo(const std::string&) { return false; }

std::unique_ptr<TerminalSession> start_on_terminal(const std::string&, const std::string&, bool,
                                                   const std::vector<std::string>&) {
  return nullptr;
}
