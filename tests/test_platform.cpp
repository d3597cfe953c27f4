#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "child_process.h"
#include "platform/platform.h"
#include "run_program.h"
#include "scratch_dir.h"

namespace fs = std::filesystem;

TEST(NewFile, is_private_while_written_and_removed_when_abandoned) {
  if (!posix_platform()) GTEST_SKIP() << "Windows files have access lists, not permission bits";
  const ScratchDir scratch;
  Folder folder;
  ASSERT_FALSE(open_folder(scratch.path(), folder));
  NewFile file;
  ASSERT_FALSE(create_new_file(folder, "new.tmp", file));
  EXPECT_EQ(fs::status(scratch.path() + "/new.tmp").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST(GuardedRun, ctrl_c_is_noted_instead_of_ending_the_program) {
  Interruption noted;
  bool sent = false;
  {
    const GuardedRun guard;
    sent = raise_interrupt();
    // A console delivers its events on a thread of its own, a moment later.
    for (int wait = 0; sent && wait < 200 && !pending_interruption().requested; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    noted = pending_interruption();
  }
  if (!noted.requested && !posix_platform()) GTEST_SKIP() << "no console delivered Ctrl-C here";
  EXPECT_EQ(noted.signal_number, 2);
  EXPECT_FALSE(noted.ends_program);
}
