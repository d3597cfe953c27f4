#pragma once

#include <string>
#include <vector>

// What a program printed and how it ended when fed a script on standard input.
struct ProgramResult {
  std::string out;
  std::string err;
  int exit_status = -1;  // -1 when it did not exit normally
  bool timed_out = false;
};

// Runs exe in workdir with input piped to its standard input (closed after the input, as a
// script's pipe would be) and captures both output streams. A program still running after
// timeout_seconds is killed and reported as timed out. A program built for another machine is
// started through the emulator the build names.
ProgramResult run_program(const std::string& exe, const std::string& input,
                          const std::string& workdir = ".", double timeout_seconds = 60.0);

// How exe is started: the build's emulator first where there is one, then exe itself.
std::vector<std::string> program_command(const std::string& exe);

// As run_program, for a program of the machine the tests run on: command[0] is started with the
// rest as its arguments, no shell in between. Each platform has its own implementation.
ProgramResult run_process(const std::vector<std::string>& command, const std::string& input,
                          const std::string& workdir = ".", double timeout_seconds = 60.0);

// False where files have no POSIX permission bits and programs no signals, so tests of those
// skip there.
bool posix_platform();

// A fresh empty directory under the system's temporary directory.
std::string make_scratch_dir();

// The whole content of a file, or an empty string when it cannot be read.
std::string read_file(const std::string& path);

bool file_exists(const std::string& path);
