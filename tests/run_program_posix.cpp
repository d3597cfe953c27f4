#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <vector>

#include "run_program.h"

namespace {

void close_fd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

void set_nonblocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

}  // namespace

ProgramResult run_process(const std::vector<std::string>& command, const std::string& input,
                          const std::string& workdir, double timeout_seconds) {
  if (command.empty()) throw std::invalid_argument("no program to run");
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (::pipe(in_pipe) != 0 || ::pipe(out_pipe) != 0 || ::pipe(err_pipe) != 0) {
    throw std::runtime_error("pipe failed");
  }
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(in_pipe[0], STDIN_FILENO);
    ::dup2(out_pipe[1], STDOUT_FILENO);
    ::dup2(err_pipe[1], STDERR_FILENO);
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) {
      ::close(fd);
    }
    if (::chdir(workdir.c_str()) != 0) ::_exit(126);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(in_pipe[0]);
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  int to_child = in_pipe[1], from_out = out_pipe[0], from_err = err_pipe[0];
  set_nonblocking(to_child);
  set_nonblocking(from_out);
  set_nonblocking(from_err);
  // A program that ends before reading all of its input must not kill the test.
  ::signal(SIGPIPE, SIG_IGN);

  ProgramResult result;
  std::size_t written = 0;
  if (input.empty()) close_fd(to_child);
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                            std::chrono::duration<double>(timeout_seconds));
  char buffer[4096];
  while (from_out >= 0 || from_err >= 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      result.timed_out = true;
      ::kill(pid, SIGKILL);
      break;
    }
    std::vector<pollfd> fds;
    if (to_child >= 0) fds.push_back({to_child, POLLOUT, 0});
    if (from_out >= 0) fds.push_back({from_out, POLLIN, 0});
    if (from_err >= 0) fds.push_back({from_err, POLLIN, 0});
    if (::poll(fds.data(), fds.size(), 100) < 0 && errno != EINTR) break;
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      if (p.fd == to_child) {
        const ssize_t n = ::write(to_child, input.data() + written, input.size() - written);
        if (n > 0) written += static_cast<std::size_t>(n);
        if (n < 0 && errno != EAGAIN) close_fd(to_child);
        if (written == input.size()) close_fd(to_child);
      } else {
        const ssize_t n = ::read(p.fd, buffer, sizeof buffer);
        if (n > 0) {
          (p.fd == from_out ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EAGAIN) {
          if (p.fd == from_out)
            close_fd(from_out);
          else
            close_fd(from_err);
        }
      }
    }
  }
  close_fd(to_child);
  close_fd(from_out);
  close_fd(from_err);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  return result;
}

bool posix_platform() { return true; }
