#include "platform/platform_units.h"

// What is the same on every platform, around what each unit does its own way. The guard's
// nesting: a run inside a guarded stretch (the pause before it, the write after it) must not end
// the guard, nor forget what the outer one noted.
namespace {
int run_depth = 0;
}  // namespace

GuardedRun::GuardedRun() {
  if (run_depth++ == 0) start_guarded_run();
}

GuardedRun::~GuardedRun() {
  if (--run_depth == 0) stop_guarded_run();
}

void NewFile::keep() {
  close();
  folder_ = nullptr;
}

Interruption noted_interruption(int signal_number, bool ends_program) {
  Interruption noted;
  noted.signal_number = signal_number;
  noted.requested = signal_number != 0;
  noted.ends_program = ends_program;
  return noted;
}
