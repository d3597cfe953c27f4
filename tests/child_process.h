#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Process-level tools for tests that only some platforms offer; each says when it is not there,
// so that such a test skips instead of failing.

// Runs body in a child process whose files may grow to at most max_bytes, and gives the child's
// exit status: body's result, -1 when a signal ended it, or -2 where there is no such limit.
int exit_status_under_file_size_limit(std::uintmax_t max_bytes, const std::function<int()>& body);

// Runs body in a child process as an unprivileged user other than this one, and gives its exit
// status, -1 when a signal ended it, or -2 where this process cannot change users (not root).
int exit_status_as_other_user(const std::function<int()>& body);

// Sends this process the platform's Ctrl-C; false where it cannot be sent.
bool raise_interrupt();

// Makes a FIFO at path; false where the platform has none.
bool make_fifo(const std::string& path);

// A program started on a pseudo-terminal, as a student at a keyboard would run it.
class TerminalSession {
 public:
  virtual ~TerminalSession() = default;
  // Types text at the terminal.
  virtual void type(const std::string& text) = 0;
  // Waits until everything shown so far contains text; false after timeout_seconds.
  virtual bool wait_for(const std::string& text, double timeout_seconds) = 0;
  // The exit status once the program has ended within timeout_seconds, otherwise -1.
  virtual int exit_status(double timeout_seconds) = 0;
  virtual std::string shown() const = 0;
  // Sends the program a signal, as the system does when its window closes.
  virtual void send_signal(int number) = 0;
  // Whether the terminal echoes typed keys now.
  virtual bool echoing() const = 0;
};

// Starts exe in workdir on a new pseudo-terminal; null where the platform has none. The terminal
// echoes nothing and expands no line end, so that what is shown is the program's output alone,
// unless as_a_user gives it the settings a student's terminal has. The words of before, if any,
// come first on the command line, as a shell or a tracer that starts the program.
std::unique_ptr<TerminalSession> start_on_terminal(const std::string& exe,
                                                   const std::string& workdir,
                                                   bool as_a_user = false,
                                                   const std::vector<std::string>& before = {});
