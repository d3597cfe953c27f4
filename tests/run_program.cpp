#include "run_program.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

// The build's emulator is a ';'-separated command, empty when programs start directly.
std::vector<std::string> program_command(const std::string& exe) {
  std::vector<std::string> command;
  std::istringstream in(LABSIM_EMULATOR);
  std::string piece;
  while (std::getline(in, piece, ';')) {
    if (!piece.empty()) command.push_back(piece);
  }
  command.push_back(exe);
  return command;
}

ProgramResult run_program(const std::string& exe, const std::string& input,
                          const std::string& workdir, double timeout_seconds) {
  return run_process(program_command(exe), input, workdir, timeout_seconds);
}

std::string make_scratch_dir() {
  std::random_device seed;
  std::mt19937 names(seed());
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path dir = base / ("labsim-test-" + std::to_string(names()));
    std::error_code error;
    if (fs::create_directory(dir, error)) return dir.string();
  }
  throw std::runtime_error("no scratch directory could be made in " + base.string());
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool file_exists(const std::string& path) {
  std::error_code error;
  return fs::exists(path, error);
}
