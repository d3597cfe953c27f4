#include <thread>

#include "platform/platform.h"

// A real sleep, where the program has a thread of its own (POSIX and Windows, not a browser).
void pause_for(std::chrono::nanoseconds duration) {
  if (duration > std::chrono::nanoseconds::zero()) std::this_thread::sleep_for(duration);
}
