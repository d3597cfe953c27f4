#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#ifdef __linux__
#include <linux/fs.h>
#endif

#include "core_dump_posix.h"
#include "platform/platform_units.h"

namespace fs = std::filesystem;

namespace {

// Files on a folder that takes only appended data, or none, cannot be renamed into it.
bool folder_is_append_only(const fs::path& folder) {
#ifdef FS_IOC_GETFLAGS
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  const bool known = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  ::close(fd);
  return known && (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0;
#else
  (void)folder;
  return false;
#endif
}

// Whether this process's group has the terminal at fd, or fd is no controlling terminal of it.
// Only that group changes its settings: from the background the call would stop the program,
// and the settings would be another job's.
bool owns_terminal(int fd) {
  const pid_t group = ::tcgetpgrp(fd);
  return group < 0 || group == ::getpgrp();
}

termios saved_terminal{};
termios quiet_terminal{};
volatile sig_atomic_t terminal_saved = 0;
// Off while a question inside the run waits for its answer, which the student must see typed.
volatile sig_atomic_t terminal_quiet = 0;

void set_terminal(const termios& mode) {
  if (terminal_saved && owns_terminal(STDIN_FILENO)) ::tcsetattr(STDIN_FILENO, TCSANOW, &mode);
}

volatile sig_atomic_t noted_signal = 0;
volatile sig_atomic_t noted_end = 0;
// The null device, open during a guarded run: what a terminal that takes no output gets instead.
volatile sig_atomic_t null_output = -1;
// After a request to end: ticks in a row at which the output took nothing.
volatile sig_atomic_t stalled_ticks = 0;
constexpr int ticks_per_second = 10;

void set_ticks(long microseconds) {
  itimerval timer{};
  timer.it_interval.tv_usec = microseconds;
  timer.it_value.tv_usec = microseconds;
  ::setitimer(ITIMER_REAL, &timer, nullptr);
}

// Whether standard output would take a write now; a terminal stopped by Ctrl-S, or one whose
// reader reads nothing, would not.
bool output_takes_data() {
  pollfd out{STDOUT_FILENO, POLLOUT, 0};
  return ::poll(&out, 1, 0) != 1 || (out.revents & POLLOUT) != 0;
}

void leave_output_behind() {
  set_ticks(0);
  if (null_output >= 0) ::dup2(null_output, STDOUT_FILENO);
}

// A noted request to end, after the first: a tick of the watch on the output, or a second
// request, after which output the terminal takes nothing of is not waited for.
void watch_output(int number) {
  if (output_takes_data()) {
    stalled_ticks = 0;
  } else if (number != SIGALRM || ++stalled_ticks >= ticks_per_second) {
    leave_output_behind();
  }
}

extern "C" void note_signal(int number, siginfo_t* info, void*) {
  const int saved_errno = errno;
  if (own_fault(number, info)) {
    // Nothing is written from a broken process; the shell only gets its terminal back.
    set_terminal(saved_terminal);
    act_as_before_ending(number);
    errno = saved_errno;
    return;
  }
  if (number != SIGINT && noted_end != 0) {
    watch_output(number);
  } else if (number != SIGINT) {
    // Ended from the background (kill %1 on a stopped run), the last words are still written
    // where the terminal stops a background job's output.
    ::signal(SIGTTOU, SIG_IGN);
    // A terminal paused by Ctrl-S must not hold the request to end: its output resumes (Linux
    // resumes only what the program itself stopped, hence the stop first).
    if (::isatty(STDOUT_FILENO) != 0 && owns_terminal(STDOUT_FILENO)) {
      ::tcflow(STDOUT_FILENO, TCOOFF);
      ::tcflow(STDOUT_FILENO, TCOON);
    }
    stalled_ticks = 0;
    set_ticks(1000000 / ticks_per_second);
  }
  // Ctrl-C after a request to end must not turn that request into a mere interruption.
  if (noted_end == 0) noted_signal = number;
  if (number != SIGINT) noted_end = 1;
  errno = saved_errno;
}

// While a question waits: the real input, kept aside, and an empty one put in its place by a
// signal, so that a read the signal came just before ends as well as one it interrupted.
int question_input = -1;
int empty_input = -1;

extern "C" void note_signal_at_question(int number, siginfo_t* info, void* context) {
  note_signal(number, info, context);
  if (empty_input >= 0 && !own_fault(number, info)) ::dup2(empty_input, STDIN_FILENO);
}

// Every signal that would end the program and can be caught: during a run each is a request to
// end (Ctrl-C only an interruption), so that the rows are written and the terminal restored.
// Ctrl-\ (quit) among them, with no core dump; SIGPIPE and SIGXFSZ are ignored for the whole run
// of the program.
std::size_t guarded_count = 0;
int guarded_signals[NSIG];
// Those ignored when the program started, as nohup ignores a hangup, stay ignored.
bool ignored_at_start[NSIG];
// By signal number, the actions in place before the guard.
struct sigaction saved_actions[NSIG];

void find_guarded_signals() {
  if (guarded_count != 0) return;
  const int fixed[] = {
      SIGINT,    SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU,
#ifdef SIGPOLL
      SIGPOLL,
#endif
#ifdef SIGPWR
      SIGPWR,
#endif
#ifdef SIGSTKFLT
      SIGSTKFLT,
#endif
#ifdef SIGLOST
      SIGLOST,
#endif
  };
  for (int number : fixed) guarded_signals[guarded_count++] = number;
  // Fault signals too, which are a request only when another process sends them.
  for (int number : fault_signals) guarded_signals[guarded_count++] = number;
#ifdef SIGRTMIN
  for (int number = SIGRTMIN; number <= SIGRTMAX; ++number)
    guarded_signals[guarded_count++] = number;
#endif
  for (std::size_t i = 0; i < guarded_count; ++i) {
    struct sigaction current {};
    ::sigaction(guarded_signals[i], nullptr, &current);
    ignored_at_start[i] = current.sa_handler == SIG_IGN;
  }
}

sigset_t guarded_set() {
  find_guarded_signals();
  sigset_t set;
  sigemptyset(&set);
  for (std::size_t i = 0; i < guarded_count; ++i) sigaddset(&set, guarded_signals[i]);
  return set;
}

struct sigaction saved_stop_action;
struct sigaction saved_continue_action;

extern "C" void stop_with_terminal_restored(int) {
  const int saved_errno = errno;
  // The shell gets its terminal back as it was; continued, the run takes it again.
  set_terminal(saved_terminal);
  struct sigaction stop {
  }, ours{};
  stop.sa_handler = SIG_DFL;
  sigemptyset(&stop.sa_mask);
  ::sigaction(SIGTSTP, &stop, &ours);
  sigset_t only_stop;
  sigemptyset(&only_stop);
  sigaddset(&only_stop, SIGTSTP);
  ::sigprocmask(SIG_UNBLOCK, &only_stop, nullptr);
  ::kill(::getpid(), SIGTSTP);
  ::sigprocmask(SIG_BLOCK, &only_stop, nullptr);
  ::sigaction(SIGTSTP, &ours, nullptr);
  errno = saved_errno;
}

// Continued by fg, or after Ctrl-Z, the run's terminal is quiet again; continued by bg, the
// terminal stays the shell's.
extern "C" void take_terminal_again(int) {
  const int saved_errno = errno;
  if (terminal_quiet) set_terminal(quiet_terminal);
  errno = saved_errno;
}

// During a run a signal never makes a write to the terminal fail, so that no row is lost from
// the screen; a question's read, in contrast, must end so that the signal is acted upon.
void note_signals_with(void (*note)(int, siginfo_t*, void*), int flags) {
  noted_signal = 0;
  noted_end = 0;
  struct sigaction action {};
  action.sa_sigaction = note;
  action.sa_flags = SA_SIGINFO | flags;
  // A signal while another is noted waits for it, so the two notes never interleave.
  action.sa_mask = guarded_set();
  for (std::size_t i = 0; i < guarded_count; ++i) {
    if (!ignored_at_start[i]) ::sigaction(guarded_signals[i], &action, nullptr);
  }
}

void note_signals_during_run() { note_signals_with(note_signal, SA_RESTART); }
void note_signals_at_question() { note_signals_with(note_signal_at_question, 0); }

void save_signal_actions() {
  for (std::size_t i = 0; i < guarded_count; ++i) {
    const int number = guarded_signals[i];
    ::sigaction(number, nullptr, &saved_actions[number]);
  }
}

void restore_signal_actions() {
  for (std::size_t i = 0; i < guarded_count; ++i) {
    const int number = guarded_signals[i];
    if (!ignored_at_start[i]) ::sigaction(number, &saved_actions[number], nullptr);
  }
}

}  // namespace

std::error_code NewFile::finish(fs::perms permissions) {
  const int fd = static_cast<int>(handle_);
  std::error_code error;
  if (::fchmod(fd, static_cast<mode_t>(permissions & fs::perms::all)) != 0 || ::fsync(fd) != 0) {
    error.assign(errno, std::generic_category());
  }
  handle_ = -1;
  if (::close(fd) != 0 && !error) error.assign(errno, std::generic_category());
  return error;
}

FileWriteHold::FileWriteHold() {
  const sigset_t held = guarded_set();
  ::sigprocmask(SIG_BLOCK, &held, nullptr);
}

FileWriteHold::~FileWriteHold() {
  const sigset_t held = guarded_set();
  ::sigprocmask(SIG_UNBLOCK, &held, nullptr);
}

bool may_write_folder(const fs::path& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_nlink == 0) {
    return false;
  }
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0 &&
         !folder_is_append_only(folder);
}

bool may_write_file(const fs::path& file) {
  return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
}

bool may_replace_file(const fs::path& folder, const fs::path& file) {
  struct stat folder_info {
  }, file_info{};
  if (::stat(folder.c_str(), &folder_info) != 0 || ::lstat(file.c_str(), &file_info) != 0) {
    return false;
  }
  if ((folder_info.st_mode & S_ISVTX) == 0) return true;
  const uid_t user = ::geteuid();
  return user == 0 || file_info.st_uid == user || folder_info.st_uid == user;
}

bool may_follow_link(const fs::path& folder, const fs::path& link) {
  struct stat folder_info {
  }, link_info{};
  if (::lstat(link.c_str(), &link_info) != 0 || !S_ISLNK(link_info.st_mode)) return true;
  if (::stat(folder.c_str(), &folder_info) != 0) return false;
  if ((folder_info.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH)) return true;
  // The kernel makes no exception for root here, and neither does this.
  return link_info.st_uid == ::geteuid() || link_info.st_uid == folder_info.st_uid;
}

bool name_fits(const fs::path& folder, const fs::path& name, std::size_t temporary_length) {
  errno = 0;
  long name_max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (name_max < 0) name_max = errno == 0 ? LONG_MAX : 255;
  const auto longest_name = static_cast<std::size_t>(name_max);
  if (name.native().size() > longest_name || temporary_length > longest_name) return false;
  // The folder, a separator, the name and the closing NUL; the temporary file is made relative
  // to the open folder, so its full path has no such limit.
  return folder.native().size() + 1 + name.native().size() + 1 <= PATH_MAX;
}

fs::path temporary_folder() { return "/tmp"; }

void survive_file_size_limit() { ::signal(SIGXFSZ, SIG_IGN); }

void survive_closed_output() { ::signal(SIGPIPE, SIG_IGN); }

void discard_pending_terminal_input() {
  if (::isatty(STDIN_FILENO)) ::tcflush(STDIN_FILENO, TCIFLUSH);
}

void start_guarded_run() {
  find_guarded_signals();
  null_output = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  save_signal_actions();
  note_signals_during_run();
  termios current{};
  if (::isatty(STDIN_FILENO) && ::tcgetattr(STDIN_FILENO, &current) == 0) {
    saved_terminal = current;
    quiet_terminal = current;
    quiet_terminal.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    terminal_saved = 1;
    terminal_quiet = 1;
    set_terminal(quiet_terminal);
  }
  struct sigaction stop {};
  stop.sa_handler = stop_with_terminal_restored;
  stop.sa_flags = SA_RESTART;
  sigemptyset(&stop.sa_mask);
  ::sigaction(SIGTSTP, &stop, &saved_stop_action);
  struct sigaction resume = stop;
  resume.sa_handler = take_terminal_again;
  ::sigaction(SIGCONT, &resume, &saved_continue_action);
}

Interruption pending_interruption() { return noted_interruption(noted_signal, noted_end != 0); }

void stop_guarded_run() {
  ::sigaction(SIGTSTP, &saved_stop_action, nullptr);
  ::sigaction(SIGCONT, &saved_continue_action, nullptr);
  set_terminal(saved_terminal);
  terminal_saved = 0;
  terminal_quiet = 0;
  // A program ending on a request keeps the guard until it exits, so that its last words still
  // never wait for a terminal that takes nothing.
  if (noted_end != 0) return;
  restore_signal_actions();
  if (null_output >= 0) ::close(null_output);
  null_output = -1;
}

GuardedQuestion::GuardedQuestion() {
  question_input = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
  empty_input = question_input >= 0 ? ::open("/dev/null", O_RDONLY | O_CLOEXEC) : -1;
  note_signals_at_question();
  terminal_quiet = 0;
  set_terminal(saved_terminal);
}

GuardedQuestion::~GuardedQuestion() {
  note_signals_during_run();
  if (question_input >= 0) {
    ::dup2(question_input, STDIN_FILENO);
    ::close(question_input);
  }
  if (empty_input >= 0) ::close(empty_input);
  question_input = empty_input = -1;
  terminal_quiet = 1;
  set_terminal(quiet_terminal);
}

void offer_readings_so_far(const std::string&, const std::function<std::string()>&,
                           const std::function<TableCells()>&) {}

void hand_over_file(FileRole, const std::string&, const std::string&, const TableCells&) {}
