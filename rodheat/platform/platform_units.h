#pragma once

#include "platform/platform.h"

// What each platform unit gives the parts that all platforms share (platform_shared.cpp).

// The outermost GuardedRun's beginning and end; inner ones do nothing.
void start_guarded_run();
void stop_guarded_run();

// What a unit noted, as the guard reports it: nothing when signal_number is 0.
Interruption noted_interruption(int signal_number, bool ends_program);
