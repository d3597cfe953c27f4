#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

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

// Works inside a fresh directory for the life of the object.
class InScratchDir {
 public:
  InScratchDir() : dir_(make_scratch_dir()), old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_);
  }
  ~InScratchDir() {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(dir_);
  }

 private:
  std::string dir_;
  std::filesystem::path old_;
};

// The names in a folder, sorted.
inline std::vector<std::string> folder_content(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}
