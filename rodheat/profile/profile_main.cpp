#include <iostream>

#include "profile/profile_program.h"

int main() {
  const ProfileFilesWritten written = write_profile_files();
  if (!written.csv) std::cout << "Could not write debug.csv in this folder.\n";
  if (!written.svg) std::cout << "Could not write debug.svg in this folder.\n";
  if (!written.csv || !written.svg) return 1;
  std::cout << "Wrote the temperature profile to debug.csv and its picture to debug.svg\n";
  return 0;
}
