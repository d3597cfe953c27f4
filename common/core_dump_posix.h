#pragma once

#include <signal.h>

// For a program's own signal handlers on POSIX systems, beside end_without_core_dump.

// Signals that the kernel also sends for a fault of the program's own.
inline constexpr int fault_signals[] = {SIGILL, SIGTRAP, SIGABRT, SIGBUS, SIGFPE, SIGSEGV, SIGSYS};

// A fault signal that the kernel sent for a fault of this program's own (or the program raised
// itself, as abort does), not one another process sent: the program is broken, and must write
// nothing more.
bool own_fault(int number, const siginfo_t* info);

// Puts back the action the signal had before end_without_core_dump (the default, or a
// sanitizer's report), so that a fault returned to ends the program as it would have.
void act_as_before_ending(int number);
