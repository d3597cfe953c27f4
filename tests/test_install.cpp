#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "run_program.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// The host's cmake, or nothing where a test cannot start it.
ProgramResult run_host_tool(const char* tool, std::vector<std::string> arguments,
                            const std::string& workdir = ".") {
  arguments.insert(arguments.begin(), tool);
  return run_process(arguments, "", workdir, 300);
}

#define SKIP_WITHOUT_HOST_TOOLS()                                                 \
  if (!LABSIM_HOST_TOOLS_RUN)                                                     \
  GTEST_SKIP() << "the host's cmake cannot be started from this emulated build; " \
                  "its kits are checked by make check-release"

// Regular files under root, as paths relative to it.
std::set<std::string> files_under(const std::string& root) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_regular_file()) files.insert(fs::relative(entry.path(), root).string());
  }
  return files;
}

// Where name lands under an install prefix, as a relative path with forward slashes.
std::string installed(const std::string& dir, const std::string& name) {
  return (fs::path(dir) / name).lexically_normal().generic_string();
}
std::string installed_program(const std::string& name) {
  return installed(LABSIM_INSTALL_BINDIR, name + LABSIM_EXE_SUFFIX);
}

const std::set<std::string> delivered{
    installed_program("needlefield"), installed_program("rodheat"),
    installed_program("rodheat-profile"), installed(LABSIM_INSTALL_DOCDIR, "README.md"),
    installed(LABSIM_INSTALL_DOCDIR, "STUDENT-GUIDE.md"),
    installed(LABSIM_INSTALL_DOCDIR, "docs/teacher-guide.md"),
    installed(LABSIM_INSTALL_DOCDIR, "docs/images/profile.png"),
    installed(LABSIM_INSTALL_DOCDIR, "docs/images/web-page.png")};

// One install into a scratch prefix, shared by the tests that look at it.
class Installed : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!LABSIM_HOST_TOOLS_RUN) return;
    prefix_ = make_scratch_dir();
    install_ = run_host_tool(CMAKE_COMMAND, {"--install", LABSIM_BUILD_DIR, "--prefix", prefix_});
  }
  static void TearDownTestSuite() {
    if (!prefix_.empty()) fs::remove_all(prefix_);
  }
  void SetUp() override { SKIP_WITHOUT_HOST_TOOLS(); }
  static std::string prefix_;
  static ProgramResult install_;
};
std::string Installed::prefix_;
ProgramResult Installed::install_;

}  // namespace

TEST_F(Installed, prefix_holds_the_three_programs_and_the_documents_only) {
  ASSERT_EQ(install_.exit_status, 0) << install_.out << install_.err;
  EXPECT_EQ(files_under(prefix_), delivered);
  for (const char* program : {"rodheat", "needlefield", "rodheat-profile"}) {
    const fs::path path = fs::path(prefix_) / installed_program(program);
    ASSERT_TRUE(fs::is_regular_file(path)) << program;
    if (posix_platform()) {
      EXPECT_NE(fs::status(path).permissions() & fs::perms::owner_exec, fs::perms::none) << program;
    }
  }
  EXPECT_EQ(read_file(prefix_ + "/" + installed(LABSIM_INSTALL_DOCDIR, "README.md")),
            read_file(std::string(LABSIM_SOURCE_DIR) + "/README.md"));
}

TEST_F(Installed, installed_programs_answer_through_a_pipe) {
  ASSERT_EQ(install_.exit_status, 0) << install_.out << install_.err;
  const ScratchDir scratch;
  const std::string& dir = scratch.path();
  // No current means no wire field, so the angle is 0 wherever the needle lands.
  const ProgramResult needle =
      run_program(prefix_ + "/" + installed_program("needlefield"), "0 50 50\n", dir);
  EXPECT_EQ(needle.exit_status, 0);
  EXPECT_EQ(needle.out,
            "Enter I (A) between  -5.0 and   5.0 : Enter X (mm) between 0 and   100 : "
            "Enter Y (mm) between 0 and   100 : PHI =     0 degrees\n"
            "-------------------------------\n"
            "Enter I (A) between  -5.0 and   5.0 : \n");
  EXPECT_EQ(needle.err, "");

  const ProgramResult rod = run_program(prefix_ + "/" + installed_program("rodheat"), "", dir);
  EXPECT_EQ(rod.exit_status, 1);
  EXPECT_EQ(rod.out,
            "Tavix 2021 Experimental Round, problem E2\n\nEnter P (W), between 0 and 300:\n");

  const ProgramResult profile =
      run_program(prefix_ + "/" + installed_program("rodheat-profile"), "", dir, 120);
  EXPECT_EQ(profile.exit_status, 0);
  EXPECT_TRUE(file_exists(dir + "/debug.csv"));
  EXPECT_TRUE(file_exists(dir + "/debug.svg"));
}
