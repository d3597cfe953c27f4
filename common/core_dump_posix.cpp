#include "core_dump_posix.h"

#include <signal.h>
#include <unistd.h>

#include "core_dump.h"

namespace {

// Sent by another process's kill, sigqueue or tgkill: a request, since nothing is broken here.
bool sent_by_another_process(const siginfo_t* info) {
  bool by_call = info->si_code == SI_USER || info->si_code == SI_QUEUE;
#ifdef SI_TKILL
  by_call = by_call || info->si_code == SI_TKILL;
#endif
  return by_call && info->si_pid != ::getpid();
}

struct sigaction actions_before[NSIG];

extern "C" void end_as_terminated(int number, siginfo_t* info, void*) {
  if (own_fault(number, info)) {
    // Returned to, the faulting instruction faults again (abort raises again) under that action.
    act_as_before_ending(number);
    return;
  }
  ::_exit(128 + number);
}

}  // namespace

bool own_fault(int number, const siginfo_t* info) {
  for (int fault : fault_signals) {
    if (number == fault) return !sent_by_another_process(info);
  }
  return false;
}

// Until end_without_core_dump has run, the entries are the default action.
void act_as_before_ending(int number) { ::sigaction(number, &actions_before[number], nullptr); }

void end_without_core_dump() {
  struct sigaction ending {};
  ending.sa_sigaction = end_as_terminated;
  ending.sa_flags = SA_SIGINFO;
  sigemptyset(&ending.sa_mask);
  const auto end_on = [&](int number) {
    struct sigaction current {};
    if (::sigaction(number, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
    // Called again, the action before stays the one from before the first call.
    if ((current.sa_flags & SA_SIGINFO) != 0 && current.sa_sigaction == end_as_terminated) return;
    actions_before[number] = current;
    ::sigaction(number, &ending, nullptr);
  };
  // Ctrl-\ and a processor-time limit are never faults of the program's own.
  end_on(SIGQUIT);
  end_on(SIGXCPU);
  for (int number : fault_signals) end_on(number);
}
