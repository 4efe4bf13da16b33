// The single-instance guard: only a lock held elsewhere stops a start.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "o2d_instance_lock.h"
#include "test_support.h"

namespace {
namespace fs = std::filesystem;

class InstanceLockTest : public TempDirTest {};
}  // namespace

TEST_F(InstanceLockTest, OnlyAHeldLockMeansAnotherInstance) {
  // The runtime folder and the temporary folder are the test's own.
  fs::create_directory("tmp");
  setenv("TMPDIR", (m_dir / "tmp").c_str(), 1);
  setenv("XDG_RUNTIME_DIR", (m_dir / "run").c_str(), 1);
  // No runtime folder: the shared temporary folder, under a name of this user's.
  const std::string shared = (m_dir / "tmp" / ("Game-" + std::to_string(getuid()) + ".lock")).string();
  CO2DInstanceLock first, second;
  ASSERT_TRUE(first.Acquire("Game"));
  EXPECT_TRUE(fs::exists(shared));
  EXPECT_FALSE(second.Acquire("Game"));
  EXPECT_FALSE(second.Holds());

  // (The lock in the runtime folder is the program test's.)
  fs::create_directory("run");
  // Neither folder can hold the file: the start goes on without a lock.
  fs::create_directory("run/Other.lock");
  fs::create_directory("tmp/Other-" + std::to_string(getuid()) + ".lock");
  CO2DInstanceLock unlocked;
  EXPECT_TRUE(unlocked.Acquire("Other"));
  EXPECT_FALSE(unlocked.Holds());
  unsetenv("TMPDIR");
  unsetenv("XDG_RUNTIME_DIR");
}
