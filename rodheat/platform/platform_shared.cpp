#include "platform/platform_units.h"

// The guard's nesting, the same on every platform: a run inside a guarded stretch (the pause
// before it, the write after it) must not end the guard, nor forget what the outer one noted.
namespace {
int run_depth = 0;
}  // namespace

GuardedRun::GuardedRun() {
  if (run_depth++ == 0) start_guarded_run();
}

GuardedRun::~GuardedRun() {
  if (--run_depth == 0) stop_guarded_run();
}

Interruption noted_interruption(int signal_number, bool ends_program) {
  Interruption noted;
  noted.signal_number = signal_number;
  noted.requested = signal_number != 0;
  noted.ends_program = ends_program;
  return noted;
}
