#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "run_program.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

struct CommandResult {
  int status = -1;
  std::string output;
};

CommandResult run_command(const std::string& command) {
  CommandResult result;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  result.status = ::pclose(pipe);
  return result;
}

std::string shell_quoted(const std::string& path) { return "'" + path + "'"; }

// Regular files under root, as paths relative to it.
std::set<std::string> files_under(const std::string& root) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root).string());
  }
  return files;
}

const std::set<std::string> delivered{"bin/needlefield", "bin/rodheat", "bin/rodheat-profile",
                                      "share/doc/labsim/README.md"};

// One install into a scratch prefix, shared by the tests that look at it.
class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = make_scratch_dir();
    install_ = run_command(shell_quoted(CMAKE_COMMAND) + " --install " +
                           shell_quoted(LABSIM_BUILD_DIR) + " --prefix " + shell_quoted(prefix_));
  }
  static void TearDownTestSuite() { fs::remove_all(prefix_); }
  static std::string prefix_;
  static CommandResult install_;
};
std::string Installed::prefix_;
CommandResult Installed::install_;

}  // namespace

TEST_F(Installed, prefix_holds_the_three_programs_and_the_readme_only) {
  ASSERT_EQ(install_.status, 0) << install_.output;
  EXPECT_EQ(files_under(prefix_), delivered);
  for (const char* program : {"rodheat", "needlefield", "rodheat-profile"}) {
    struct stat info {};
    ASSERT_EQ(::stat((prefix_ + "/bin/" + program).c_str(), &info), 0) << program;
    EXPECT_TRUE(info.st_mode & S_IXUSR) << program;
  }
  EXPECT_EQ(read_file(prefix_ + "/share/doc/labsim/README.md"),
            read_file(std::string(LABSIM_SOURCE_DIR) + "/README.md"));
}

TEST_F(Installed, installed_programs_answer_through_a_pipe) {
  ASSERT_EQ(install_.status, 0) << install_.output;
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  // No current means no wire field, so the angle is 0 wherever the needle lands.
  const ProgramResult needle = run_program(prefix_ + "/bin/needlefield", "0 50 50\n", dir);
  EXPECT_EQ(needle.exit_status, 0);
  EXPECT_EQ(needle.out,
            "Enter I (A) between  -5.0 and   5.0 : Enter X (mm) between 0 and   100 : "
            "Enter Y (mm) between 0 and   100 : PHI =     0 degrees\n"
            "-------------------------------\n"
            "Enter I (A) between  -5.0 and   5.0 : \n");
  EXPECT_EQ(needle.err, "");

  const ProgramResult rod = run_program(prefix_ + "/bin/rodheat", "", dir);
  EXPECT_EQ(rod.exit_status, 1);
  EXPECT_EQ(rod.out,
            "Tavix 2021 Experimental Round, problem E2\n\nEnter P (W), between 0 and 300:\n");

  const ProgramResult profile = run_program(prefix_ + "/bin/rodheat-profile", "", dir, 120);
  EXPECT_EQ(profile.exit_status, 0);
  EXPECT_TRUE(file_exists(dir + "/debug.csv"));
  EXPECT_TRUE(file_exists(dir + "/debug.svg"));
}

TEST(Package, tarball_holds_what_the_install_puts_in_place) {
  const ScratchDir out_dir;
  const std::string& out = out_dir.path();
  const CommandResult pack =
      run_command(shell_quoted(CPACK_COMMAND) + " --config " +
                  shell_quoted(std::string(LABSIM_BUILD_DIR) + "/CPackConfig.cmake") + " -B " +
                  shell_quoted(out));
  ASSERT_EQ(pack.status, 0) << pack.output;
  std::vector<std::string> tarballs;
  for (const auto& entry : fs::directory_iterator(out)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 7 && name.compare(name.size() - 7, 7, ".tar.gz") == 0) {
      tarballs.push_back(entry.path().string());
    }
  }
  ASSERT_EQ(tarballs.size(), 1u) << pack.output;
  EXPECT_EQ(fs::path(tarballs[0]).filename().string().rfind("labsim-1.0.0-", 0), 0u);

  const CommandResult list =
      run_command(shell_quoted(CMAKE_COMMAND) + " -E tar tzf " + shell_quoted(tarballs[0]));
  ASSERT_EQ(list.status, 0) << list.output;
  std::set<std::string> files;
  std::set<std::string> top_folders;
  std::istringstream lines(list.output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line.back() == '/') continue;
    const std::size_t slash = line.find('/');
    ASSERT_NE(slash, std::string::npos) << line;
    top_folders.insert(line.substr(0, slash));
    files.insert(line.substr(slash + 1));
  }
  EXPECT_EQ(top_folders.size(), 1u);
  EXPECT_EQ(files, delivered);

  // Unpacked, the programs are the same as an install's and still run.
  const ScratchDir unpacked_dir;
  const std::string& unpacked = unpacked_dir.path();
  const CommandResult extract =
      run_command("cd " + shell_quoted(unpacked) + " && " + shell_quoted(CMAKE_COMMAND) +
                  " -E tar xzf " + shell_quoted(tarballs[0]));
  ASSERT_EQ(extract.status, 0) << extract.output;
  const std::string root = unpacked + "/" + *top_folders.begin();
  EXPECT_EQ(files_under(root), delivered);
  const ProgramResult needle = run_program(root + "/bin/needlefield", "0 0 0\n", unpacked);
  EXPECT_EQ(needle.exit_status, 0);
  EXPECT_NE(needle.out.find("PHI =     0 degrees\n"), std::string::npos) << needle.out;
}
