#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "child_process.h"
#include "run_program.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point after(double seconds) {
  return Clock::now() +
         std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

class PosixTerminalSession : public TerminalSession {
 public:
  PosixTerminalSession(int master, pid_t pid) : master_(master), pid_(pid) {}
  ~PosixTerminalSession() override {
    if (status_ == -1) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(master_);
  }

  void type(const std::string& text) override {
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = ::write(master_, text.data() + done, text.size() - done);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
  }

  bool wait_for(const std::string& text, double timeout_seconds) override {
    const auto deadline = after(timeout_seconds);
    while (shown_.find(text) == std::string::npos) {
      if (Clock::now() > deadline) return false;
      read_some(100);
    }
    return true;
  }

  int exit_status(double timeout_seconds) override {
    const auto deadline = after(timeout_seconds);
    while (status_ == -1 && Clock::now() <= deadline) {
      int raw = 0;
      if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128;
        // Its last words may still wait in the terminal; a loaded machine shows them late.
        while (read_some(0)) {
        }
        break;
      }
      read_some(20);
    }
    return status_;
  }

  std::string shown() const override { return shown_; }

  void send_signal(int number) override { ::kill(pid_, number); }

  bool echoing() const override {
    termios mode{};
    return ::tcgetattr(master_, &mode) == 0 && (mode.c_lflag & ECHO) != 0;
  }

 private:
  // False when nothing came within the wait.
  bool read_some(int milliseconds) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, milliseconds) <= 0) return false;
    char buffer[4096];
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n <= 0) {
      // The far side closed; wait a little so that the caller's loop does not spin.
      ::usleep(10000);
      return false;
    }
    shown_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int master_;
  pid_t pid_;
  int status_ = -1;
  std::string shown_;
};

}  // namespace

int exit_status_under_file_size_limit(std::uintmax_t max_bytes, const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    const rlimit limit{static_cast<rlim_t>(max_bytes), static_cast<rlim_t>(max_bytes)};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int exit_status_as_other_user(const std::function<int()>& body) {
  if (::geteuid() != 0) return -2;
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    // The traditional unprivileged "nobody"; no account lookup is needed.
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(125);
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool raise_interrupt() { return ::raise(SIGINT) == 0; }

bool make_fifo(const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }

std::unique_ptr<TerminalSession> start_on_terminal(const std::string& exe,
                                                   const std::string& workdir, bool as_a_user,
                                                   const std::vector<std::string>& before) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return nullptr;
  const char* slave_name = ::ptsname(master);
  if (slave_name == nullptr) return nullptr;
  const std::string slave_path = slave_name;
  std::vector<std::string> command = before;
  for (const std::string& word : program_command(exe)) command.push_back(word);
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return nullptr;
  if (pid == 0) {
    ::setsid();
    const int slave = ::open(slave_path.c_str(), O_RDWR);
    if (slave < 0) ::_exit(126);
    termios mode{};
    ::tcgetattr(slave, &mode);
    if (!as_a_user) {
      mode.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      mode.c_oflag &= ~static_cast<tcflag_t>(ONLCR);
    }
    ::tcsetattr(slave, TCSANOW, &mode);
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(slave, fd);
    ::close(slave);
    ::close(master);
    if (::chdir(workdir.c_str()) != 0) ::_exit(126);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  return std::make_unique<PosixTerminalSession>(master, pid);
}
