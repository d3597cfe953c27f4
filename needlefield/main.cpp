#include <cstdio>
#include <ctime>

#include "core_dump.h"
#include "needle.h"

int main() {
  end_without_core_dump();
  return needle_loop(stdin, stdout, static_cast<unsigned int>(std::time(nullptr)));
}
