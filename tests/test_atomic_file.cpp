#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "files/atomic_file.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

namespace {

class AtomicFile : public ::testing::Test {
 protected:
  bool write_text(const std::string& name) {
    return write_file_atomically(name, [](std::ostream& out) { out << "new results\n"; });
  }
  ScratchDir scratch_;
  std::string dir_ = scratch_.path();
  std::string file_ = dir_ + "/results.txt";
};

}  // namespace

TEST_F(AtomicFile, a_replaced_file_gives_its_bits_without_setuid_and_a_reserved_name_is_new) {
  if (!posix_platform()) GTEST_SKIP() << "Windows files have access lists, not permission bits";
  { std::ofstream(file_) << "earlier\n"; }
  fs::permissions(file_, static_cast<fs::perms>(06755), fs::perm_options::replace);
  ASSERT_TRUE(write_text(file_));
  EXPECT_EQ(fs::status(file_).permissions(), static_cast<fs::perms>(0755));
  // A reserved name is the program's alone: a name planted first gets a new one beside it.
  const fs::path reserved = reserve_new_file(dir_, "results", ".txt");
  EXPECT_EQ(reserved.parent_path(), fs::path(dir_));
  EXPECT_EQ(reserved.extension(), ".txt");
  EXPECT_EQ(fs::file_size(reserved), 0u);
  EXPECT_EQ(read_file(file_), "new results\n");
}

TEST_F(AtomicFile, results_through_a_symlink_replace_its_target_and_the_link_stays) {
  if (!posix_platform()) GTEST_SKIP() << "Windows makes symbolic links only with privileges";
  fs::create_directory(dir_ + "/kept");
  { std::ofstream(dir_ + "/kept/real.txt") << "earlier results\n"; }
  fs::create_symlink("kept/real.txt", file_);
  ASSERT_TRUE(write_text(file_));
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(read_file(dir_ + "/kept/real.txt"), "new results\n");
  EXPECT_EQ(folder_content(dir_ + "/kept"), std::vector<std::string>{"real.txt"});
  // An absolute link to a file one folder up, named by its absolute path: the name the link
  // leads to has a part fewer.
  const std::string absolute = fs::absolute(dir_).string();
  fs::create_directory(absolute + "/L2");
  { std::ofstream(absolute + "/yy.txt") << "earlier results\n"; }
  fs::create_symlink(absolute + "/yy.txt", absolute + "/L2/x.txt");
  EXPECT_TRUE(file_writable(absolute + "/L2/x.txt"));
}

TEST_F(AtomicFile, a_name_as_long_as_the_file_system_takes_is_written_and_a_longer_one_refused) {
  const std::string longest = dir_ + "/" + std::string(240, 'n') + ".txt";
  // Paths without the long-path prefix stop at 260 characters on Windows.
  if (posix_platform()) {
    EXPECT_TRUE(file_writable(longest));
    EXPECT_TRUE(write_text(longest));
    // A whole name just under the system's limit, however little room its folder leaves.
    std::string folder = dir_;
    while (folder.size() < 4055)
      folder += "/" + std::string(std::min<std::size_t>(200, 4054 - folder.size()), 'd');
    std::filesystem::create_directories(folder);
    EXPECT_TRUE(file_writable(folder + "/x.txt"));
    EXPECT_TRUE(write_text(folder + "/x.txt"));
  }
  EXPECT_FALSE(file_writable(dir_ + "/" + std::string(252, 'n') + ".txt"));
}

TEST_F(AtomicFile, another_users_link_in_a_shared_sticky_folder_is_neither_followed_nor_replaced) {
  fs::permissions(dir_, static_cast<fs::perms>(0755), fs::perm_options::replace);
  fs::create_directory(dir_ + "/shared");
  fs::permissions(dir_ + "/shared", static_cast<fs::perms>(01777), fs::perm_options::replace);
  fs::create_directory(dir_ + "/private");
  { std::ofstream(dir_ + "/private/data.txt") << "private\n"; }
  const std::string link = dir_ + "/shared/results.txt";
  const int planted = exit_status_as_other_user([&] {
    std::error_code ec;
    fs::create_symlink("../private/data.txt", link, ec);
    return ec ? 1 : 0;
  });
  if (planted == -2) GTEST_SKIP() << "only root can plant a link as another user";
  ASSERT_EQ(planted, 0);
  EXPECT_FALSE(file_writable(link));
  EXPECT_FALSE(write_text(link));
  EXPECT_EQ(read_file(dir_ + "/private/data.txt"), "private\n");
  EXPECT_TRUE(fs::is_symlink(link));
  // A neighbour's link to a folder is no way in either, and a neighbour's file lends no bits.
  const std::string open_file = dir_ + "/shared/open.txt";
  ASSERT_EQ(exit_status_as_other_user([&] {
              std::error_code ec;
              fs::create_directory_symlink("../private", dir_ + "/shared/evil", ec);
              std::ofstream(open_file) << "planted\n";
              fs::permissions(open_file, static_cast<fs::perms>(0666), ec);
              return ec ? 1 : 0;
            }),
            0);
  EXPECT_FALSE(file_writable(dir_ + "/shared/evil/x.txt"));
  EXPECT_FALSE(write_text(dir_ + "/shared/evil/x.txt"));
  EXPECT_EQ(folder_content(dir_ + "/private"), std::vector<std::string>{"data.txt"});
  ASSERT_TRUE(write_text(open_file));
  EXPECT_EQ(fs::status(open_file).permissions(), new_file_permissions());
}

TEST(FileWritable,
     new_and_existing_files_are_writable_and_untouched_but_not_a_folder_or_missing_one) {
  InScratchDir scratch;
  EXPECT_TRUE(file_writable("fresh.txt"));
  EXPECT_FALSE(file_exists("fresh.txt"));
  { std::ofstream("old.txt", std::ios::binary) << "earlier results\n"; }
  const auto before = std::filesystem::last_write_time("old.txt");
  EXPECT_TRUE(file_writable("old.txt"));
  EXPECT_EQ(read_file("old.txt"), "earlier results\n");
  EXPECT_EQ(std::filesystem::last_write_time("old.txt"), before);
  std::filesystem::create_directory("taken.txt");
  EXPECT_FALSE(file_writable("taken.txt"));
  EXPECT_TRUE(std::filesystem::is_directory("taken.txt"));
  EXPECT_FALSE(file_writable("missing/run1.txt"));
  EXPECT_FALSE(file_exists("missing"));
}

TEST(FileWritable, special_files_and_names_with_a_nul_are_refused_without_blocking) {
  InScratchDir scratch;
  { std::ofstream("data", std::ios::binary) << "kept\n"; }
  // Cut at the NUL, this name would be the existing file "data".
  EXPECT_FALSE(file_writable(std::string("data\0x.txt", 10)));
  // Windows makes symbolic links only with extra privileges.
  if (posix_platform()) {
    std::filesystem::create_directory("folder");
    std::filesystem::create_symlink("folder", "link.txt");
    EXPECT_FALSE(file_writable("link.txt"));
    std::filesystem::create_symlink("data", "data.txt");
    EXPECT_TRUE(file_writable("data.txt"));
    std::filesystem::create_symlink("nowhere/x", "dangling.txt");
    EXPECT_FALSE(file_writable("dangling.txt"));
  }
  if (make_fifo("pipe.txt")) {
    // Opening a FIFO that nothing reads would block this call for ever.
    EXPECT_FALSE(file_writable("pipe.txt"));
    EXPECT_FALSE(write_file_atomically("pipe.txt", [](std::ostream& out) { out << "lost\n"; }));
    EXPECT_TRUE(std::filesystem::is_fifo("pipe.txt"));
  }
  if (std::filesystem::is_character_file("/dev/null")) {
    EXPECT_FALSE(file_writable("/dev/null"));
  }
  EXPECT_EQ(read_file("data"), "kept\n");
}
