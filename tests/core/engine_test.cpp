#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <functional>

#include "costrak.h"
#include "o2d_append_file.h"
#include "o2d_clock.h"
#include "ost_window.h"
#include "test_support.h"

namespace {
uint32_t g_fakeNow = 0;
uint32_t FakeClock() { return g_fakeNow; }
}  // namespace

TEST_F(TempDirTest, TimerClampsDeltaAndMeasuresFps) {
  g_fakeNow = 100000;
  O2D_SetClock(&FakeClock);
  COstrak engine;
  // The first frame measures from construction time minus 1 ms.
  engine.TimerUpdate();
  EXPECT_FLOAT_EQ(engine.TimerGetDelta(), 0.001f);
  // A 2-second stall gives 300 ms.
  g_fakeNow += 2000;
  engine.TimerUpdate();
  EXPECT_FLOAT_EQ(engine.TimerGetDelta(), 0.3f);

  // 16 ms frames measure 64 frames a second; the clock wraps like a 32-bit tick counter.
  for (int i = 0; i < 63 * 4; ++i) {
    g_fakeNow += 16;
    engine.TimerUpdate();
  }
  EXPECT_EQ(engine.TimerGetFPS(), 64);
  g_fakeNow = 0xFFFFFFF0u;
  engine.TimerUpdate();
  g_fakeNow = 0x00000010u;
  engine.TimerUpdate();
  EXPECT_FLOAT_EQ(engine.TimerGetDelta(), 0.032f);
  O2D_SetClock(nullptr);
}

namespace {
void GameThatThrowsAText() { EHS_ThrowText("Error in TItemsManager<T>::FreeItem"); }
void GameThatThrowsSomethingElse() { throw std::out_of_range("vector"); }
void ShutdownThatFails() { EHS_ThrowText("Unreleased object references left!"); }
// The termination callback runs only after a fatal error: here it would fail the run.
void GameThatEndsNormally() {
  O2D_GetEngine()->Start("TavroKavel", "v. 1.0");
  O2D_GetEngine()->RegisterCallback(&ShutdownThatFails, 3);
}
void GameWhoseShutdownFailsToo() {
  O2D_GetEngine()->RegisterCallback(&ShutdownThatFails, 3);
  EHS_RAISE(EHS_GAME, 0, "Invalid texture ID!");
}
volatile uintptr_t g_wildAddress = 64;
void GameThatFaults() {
  EHS_SetCheckpoint(1023, 77);
  *reinterpret_cast<volatile int*>(g_wildAddress) = 1;  // far from the stack
}
// Recurses until the stack runs out; the volatile frame keeps it a real recursion.
volatile int g_depthLimit = -1;
int Recurse(int depth) {
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  if (depth == g_depthLimit) return 0;
  return Recurse(depth + 1) + frame[0];
}
void GameThatOverflowsItsStack() { Recurse(0); }
void GameThatRaises() { EHS_RAISE(EHS_GAME, 7, "Invalid texture ID!"); }

// Runs `body` in a child whose standard error goes to a file; gives that text.
std::string StderrOfChild(const std::function<int()>& body, int* exitStatus = nullptr) {
  pid_t pid = fork();
  if (pid == 0) {
    const int fd = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, STDERR_FILENO);
    _exit(body());
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (exitStatus) *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return ReadFileBytes("stderr.txt");
}
// Runs the game in a child; gives the signal that ended the child, or 0.
int SignalOfChild(void (*game)()) {
  const pid_t pid = fork();
  if (pid == 0) {
    ost_WinMain(game);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}
}  // namespace

// Each test keeps its single-instance lock in its own folder, so tests running in
// parallel do not see each other as a running game.
class ProcessEntryTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    setenv("XDG_RUNTIME_DIR", m_dir.c_str(), 1);
  }
};

// An engine record ending the run is the program test's; here the other kinds.
TEST_F(ProcessEntryTest, FatalErrorsAreReportedAndExitWithStatusOne) {
  EXPECT_EQ(ost_WinMain(&GameThatThrowsAText), 1);
  EXPECT_TRUE(LogHas(" !!!: Error in TItemsManager<T>::FreeItem\n"));
  EXPECT_EQ(ost_WinMain(&GameThatThrowsSomethingElse), 1);
  EXPECT_TRUE(LogHas(" !!!: EXCEPTION OF UNKNOWN TYPE!\n"));
  EXPECT_EQ(ost_WinMain(&GameThatEndsNormally), 0);

  // A failing shutdown after the fatal error is reported too; the clean-up goes on.
  EXPECT_EQ(ost_WinMain(&GameWhoseShutdownFailsToo), 1);
  const std::string last = GameLog();
  EXPECT_LT(last.find(" !!!: Unreleased object references left!\n"), last.find("--==: End of log.\n"));
}

// Reports accumulate in ehslog.txt: a game record's, then a machine fault's.
TEST_F(ProcessEntryTest, ErrorAndMachineFaultReportsInEhslog) {
  EHS_SetCheckpoint(121, 77);
  const EHSLocalTime t = EHS_LocalTimeNow();
  CEHSException(EHS_GAME, 4294967295u, "Invalid resource ID!", "engine/res/costrak_res_main.cpp", -5).WriteReport();
  EXPECT_EQ(SignalOfChild(&GameThatFaults), SIGSEGV);
  const std::string date = "\n\n\nDate: " + std::to_string(t.day) + "." + std::to_string(t.month) + "." +
                           std::to_string(t.year) + "\nTime: " + std::to_string(t.hour) + ":" + std::to_string(t.minute);
  EXPECT_EQ(ReadFileBytes("ehslog.txt"),
            date + "\nException type: Game.\nException code: 4294967295\nException desc: Invalid resource ID!\n"
                   "File: engine/res/costrak_res_main.cpp\nLine: -5\nLast checkpoint:\n   FileID: 121\n   Line:   77\n" +
                date + "\nException type: Win32.\nException code: 3221225477\nException desc: Access violation.\n"
                   "File: \nLine: 0\nLast checkpoint:\n   FileID: 1023\n   Line:   77\n");
  EXPECT_TRUE(LogHas(" !!!: Error type: Win32.\n"));
}

TEST_F(TempDirTest, AQuitRequestDoesNotOutliveItsEngine) {
  { COstrak first; COstrak::RequestQuit(); }
  COstrak second;
  EXPECT_FALSE(COstrak::IsQuitRequested());
}

// A fault in the stack's guard region is a stack overflow (a wild access is above).
TEST_F(ProcessEntryTest, StackOverflowIsReportedAsSuch) {
  EXPECT_EQ(SignalOfChild(&GameThatOverflowsItsStack), SIGSEGV);
  const std::string report = ReadFileBytes("ehslog.txt");
  EXPECT_NE(report.find("\nException code: 3221225725\nException desc: Stack overflow.\n"), std::string::npos) << report;
  EXPECT_TRUE(LogHas(" !!!: Error desc: Stack overflow.\n"));
}

// Files that cannot be written are named once on standard error, with the reason,
// and the fatal record is printed there instead.
TEST_F(ProcessEntryTest, UnwritableLogAndReportAreNamedOnStandardError) {
  // Folders in the files' places fail like a read-only folder, also for root; the
  // entries inside keep the engine from deleting the old log.
  for (const char* name : {"gamelog.txt", "ehslog.txt"}) {
    std::filesystem::create_directory(name);
    std::filesystem::create_directory(std::string(name) + "/keep");
  }
  int status = 0;
  const std::string err = StderrOfChild([] { return ost_WinMain(&GameThatRaises); }, &status);
  EXPECT_EQ(status, 1);
  const std::string cwd = std::filesystem::current_path().string();
  // Once each, before the record, and never again.
  EXPECT_EQ(err.substr(0, err.find('|')), "Cannot write " + cwd + "/ehslog.txt: Is a directory\nCannot write " + cwd +
                                              "/gamelog.txt: Is a directory\n\n\n") << err;
  EXPECT_EQ(err.find("Cannot write", err.find('|')), std::string::npos) << err;
  EXPECT_NE(err.find(" !!!: Fatal error!\n !!!: Error type: Game.\n !!!: Error code: 7\n"
                     " !!!: Error desc: Invalid texture ID!\n"), std::string::npos) << err;

  // A full disk: the line that did not fit goes to standard error.
  const std::string full = StderrOfChild([] {
    CAppendFile("/dev/full", true).Put("the record").EndLine();
    CAppendFile("/dev/full").Put("a log line").EndLine();
    return 0;
  });
  EXPECT_EQ(full, "Cannot write /dev/full: No space left on device\nthe record\n");
}
