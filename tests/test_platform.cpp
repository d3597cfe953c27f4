#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "child_process.h"
#include "files/atomic_file.h"
#include "platform/platform.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

TEST(NewFile, is_private_while_written_and_a_replaced_file_gives_its_bits_without_setuid) {
  if (!posix_platform()) GTEST_SKIP() << "Windows files have access lists, not permission bits";
  const ScratchDir scratch;
  Folder folder;
  ASSERT_TRUE(open_folder(scratch.path(), folder));
  bool taken = true;
  const NewFileHandle file = create_new_file(folder, "new.tmp", taken);
  ASSERT_NE(file, no_new_file);
  EXPECT_EQ(fs::status(scratch.path() + "/new.tmp").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  abandon_new_file(file);
  close_folder(folder);
  const std::string target = scratch.path() + "/results.txt";
  { std::ofstream(target) << "earlier\n"; }
  fs::permissions(target, static_cast<fs::perms>(06755), fs::perm_options::replace);
  ASSERT_TRUE(write_file_atomically(target, [&](std::ostream& out) { out << "new\n"; }));
  EXPECT_EQ(fs::status(target).permissions(), static_cast<fs::perms>(0755));
  EXPECT_EQ(read_file(target), "new\n");
  // A reserved name is the program's alone: a name planted first gets a new one beside it.
  const fs::path reserved = reserve_new_file(scratch.path(), "results", ".txt");
  EXPECT_EQ(reserved.parent_path(), fs::path(scratch.path()));
  EXPECT_EQ(reserved.extension(), ".txt");
  EXPECT_EQ(fs::file_size(reserved), 0u);
  EXPECT_EQ(read_file(target), "new\n");
}

TEST(GuardedRun, ctrl_c_is_noted_instead_of_ending_the_program) {
  begin_guarded_run();
  const bool sent = raise_interrupt();
  // A console delivers its events on a thread of its own, a moment later.
  for (int wait = 0; sent && wait < 200 && !pending_interruption().requested; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const Interruption noted = pending_interruption();
  end_guarded_run();
  if (!noted.requested && !posix_platform()) GTEST_SKIP() << "no console delivered Ctrl-C here";
  EXPECT_EQ(noted.signal_number, 2);
  EXPECT_FALSE(noted.ends_program);
}
