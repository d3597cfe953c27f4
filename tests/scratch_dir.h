#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#include "run_program.h"

// A fresh empty folder under the system's temporary folder, removed with everything in it when
// the object goes, so that a test run leaves nothing behind.
class ScratchDir {
 public:
  ScratchDir() : path_(make_scratch_dir()) {}
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
