#include <cstdio>
#include <ctime>

#include "needle.h"

int main() { return needle_loop(stdin, stdout, static_cast<unsigned int>(std::time(nullptr))); }
