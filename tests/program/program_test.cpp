// The real program, started as a player would start it, under the offscreen driver.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "test_support.h"

namespace {
class ProgramTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    // The single-instance lock lives in the test's own folder.
    setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }

  static pid_t Start() {
    pid_t pid = fork();
    if (pid == 0) {
      execl(TAVROKAVEL_EXE, TAVROKAVEL_EXE, static_cast<char*>(nullptr));
      _exit(127);
    }
    return pid;
  }

  // Waits for the process to end; -1 when it is still running after the time.
  static int WaitExit(pid_t pid, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
      int status = 0;
      if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }
};
}  // namespace

TEST_F(ProgramTest, RunsAsOneInstanceAndEndsNormallyOnSigterm) {
  std::filesystem::create_directory_symlink(std::filesystem::path(OSTRAK_SOURCE_DIR) / "game" / "DATA", "DATA");
  pid_t first = Start();
  // The game is up once it has read its best result for the main window.
  for (int i = 0; i < 600 && !LogHas("Loading highscore data..."); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(LogHas("Loading highscore data...")) << GameLog();
  const std::string before = ReadFileBytes("gamelog.txt");

  // A second start ends at once with 0 and leaves the first one's log alone.
  pid_t second = Start();
  EXPECT_EQ(WaitExit(second, 10), 0);
  EXPECT_EQ(ReadFileBytes("gamelog.txt").substr(0, before.size()), before);

  kill(first, SIGTERM);
  EXPECT_EQ(WaitExit(first, 30), 0);
  const std::string log = ReadFileBytes("gamelog.txt");
  const std::string footer = "\n" + kSep1 + kSep1 + "--==: End of log.\n" + kSep1 + kSep1 + "\n";
  ASSERT_GE(log.size(), footer.size());
  EXPECT_EQ(log.substr(log.size() - footer.size()), footer);
  EXPECT_FALSE(std::filesystem::exists("ehslog.txt"));
}

TEST_F(ProgramTest, ADescriptorErrorEndsTheRunWithBothReportsAndStatusOne) {
  std::filesystem::create_directory("DATA");
  WriteFileBytes("DATA/broken.xml", "<resources></resources>");
  pid_t pid = Start();
  EXPECT_EQ(WaitExit(pid, 30), 1);
  EXPECT_NE(ReadFileBytes("ehslog.txt").find("Exception desc: Wrong XML ResPack descriptor: ./DATA/broken.xml\n"),
            std::string::npos);
  EXPECT_TRUE(LogHas(" !!!: Error desc: Wrong XML ResPack descriptor: ./DATA/broken.xml\n"));
}

// The start-up benchmark's run: the program ends by itself after its first frame.
TEST_F(ProgramTest, EndsNormallyAfterTheFramesTheEnvironmentAsksFor) {
  std::filesystem::create_directory_symlink(std::filesystem::path(OSTRAK_SOURCE_DIR) / "game" / "DATA", "DATA");
  setenv("OSTRAK2D_QUIT_AFTER_FRAMES", "1", 1);
  const pid_t pid = Start();
  unsetenv("OSTRAK2D_QUIT_AFTER_FRAMES");
  EXPECT_EQ(WaitExit(pid, 30), 0);
  EXPECT_NE(ReadFileBytes("gamelog.txt").find("End of log."), std::string::npos);
}
