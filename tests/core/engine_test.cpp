#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "costrak.h"
#include "o2d_clock.h"
#include "o2d_instance_lock.h"
#include "ost_window.h"
#include "test_support.h"

namespace {
uint32_t g_fakeNow = 0;
uint32_t FakeClock() { return g_fakeNow; }

class EngineTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    g_fakeNow = 100000;
    O2D_SetClock(&FakeClock);
  }
  void TearDown() override {
    O2D_SetClock(nullptr);
    TempDirTest::TearDown();
  }
};

const std::string kSep1 = "|---------------------------------------------------|\n";
int g_terminations = 0;
void OnTerminate() { ++g_terminations; }
}  // namespace

TEST_F(EngineTest, TimerClampsDeltaAndMeasuresFps) {
  COstrak engine;
  // The first frame measures from construction time minus 1 ms.
  engine.TimerUpdate();
  EXPECT_FLOAT_EQ(engine.TimerGetDelta(), 0.001f);
  // Two frames in the same millisecond still give 1 ms.
  engine.TimerUpdate();
  EXPECT_FLOAT_EQ(engine.TimerGetDelta(), 0.001f);
  // A 2-second stall gives 300 ms.
  g_fakeNow += 2000;
  engine.TimerUpdate();
  EXPECT_FLOAT_EQ(engine.TimerGetDelta(), 0.3f);

  // 16 ms frames: after the reset the value changes once per 63 frames to 64.
  COstrak fresh;
  int changes = 0, last = fresh.TimerGetFPS();
  for (int i = 0; i < 63 * 4; ++i) {
    g_fakeNow += 16;
    fresh.TimerUpdate();
    if (fresh.TimerGetFPS() != last) {
      ++changes;
      last = fresh.TimerGetFPS();
    }
  }
  EXPECT_EQ(fresh.TimerGetFPS(), 64);
  EXPECT_GE(changes, 1);
  // The clock wraps around like a 32-bit tick counter.
  g_fakeNow = 0xFFFFFFF0u;
  fresh.TimerUpdate();
  g_fakeNow = 0x00000010u;
  fresh.TimerUpdate();
  EXPECT_FLOAT_EQ(fresh.TimerGetDelta(), 0.032f);
}

TEST_F(EngineTest, HeaderCallbacksAndFooterInTheLog) {
  COstrak engine;
  engine.Start("TavroKavel", "v. 1.0");
  engine.RegisterCallback(&OnTerminate, 3);
  engine.RegisterCallback(&OnTerminate, 9);  // unknown kind: frame only
  g_terminations = 0;
  engine.Cleanup();  // not after a fatal error: the termination callback is not run
  EXPECT_EQ(g_terminations, 0);

  const EHSLocalTime t = EHS_LocalTimeNow();
  std::string expected = "\n\n" + kSep1 +
                         "--==: Starting TavroKavel v. 1.0\n"
                         "--==: Powered by Ostrak2D Engine v.1.0\n"
                         "--==: Built: " +
                         std::string(O2D_BuildDate()) + "   " + O2D_BuildTime() + "\n\n" +
                         "--==: Execution date: " + std::to_string(t.day) + "." + std::to_string(t.month) + "." +
                         std::to_string(t.year) + "\n--==: Execution time: " + std::to_string(t.hour) + ":" +
                         std::to_string(t.minute) + "\n" + kSep1 + "\n\n" + kSep1 +
                         "   +: Callback function for termination registered.\n" + kSep1 + "\n" + kSep1 + kSep1 +
                         "\n" + "\n" + kSep1 + kSep1 + "--==: End of log.\n" + kSep1 + kSep1 + "\n";
  EXPECT_EQ(ReadFileBytes("gamelog.txt"), expected);
}

TEST_F(EngineTest, CleanupAfterAFatalErrorRunsTheTerminationCallbackFirst) {
  COstrak engine;
  engine.RegisterCallback(&OnTerminate, 3);
  g_terminations = 0;
  engine.SetTerminatedByFatalError();
  engine.Cleanup();
  EXPECT_EQ(g_terminations, 1);
}

TEST(MachineFault, SignalsMapToWindowsExceptionCodes) {
  EXPECT_EQ(O2D_SignalToExceptionCode(SIGSEGV, SEGV_MAPERR), 3221225477u);
  EXPECT_EQ(O2D_SignalToExceptionCode(SIGFPE, FPE_INTDIV), EHS_EXCEPTION_INT_DIVIDE_BY_ZERO);
  EXPECT_EQ(O2D_SignalToExceptionCode(SIGILL, ILL_ILLOPC), EHS_EXCEPTION_ILLEGAL_INSTRUCTION);
  EXPECT_EQ(O2D_SignalToExceptionCode(SIGBUS, BUS_ADRALN), EHS_EXCEPTION_DATATYPE_MISALIGNMENT);
  EXPECT_EQ(O2D_SignalToExceptionCode(SIGUSR1, 0), 0u);
}

namespace {
void GameThatFailsWithARecord() {
  O2D_GetEngine()->Start("TavroKavel", "v. 1.0");
  O2D_GetEngine()->RegisterCallback(&OnTerminate, 3);
  EHS_RAISE(EHS_GAME, 0, "Wrong XML ResPack descriptor: ./DATA/x.xml");
}
void GameThatThrowsAText() { EHS_ThrowText("Error in TItemsManager<T>::FreeItem"); }
void GameThatThrowsSomethingElse() { throw std::out_of_range("vector"); }
void GameThatEndsNormally() { O2D_GetEngine()->Start("TavroKavel", "v. 1.0"); }
void GameThatFaults() {
  EHS_SetCheckpoint(1023, 77);
  raise(SIGSEGV);
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

TEST_F(ProcessEntryTest, FatalErrorsAreReportedAndExitWithStatusOne) {
  g_terminations = 0;
  EXPECT_EQ(ost_WinMain(&GameThatFailsWithARecord), 1);
  EXPECT_EQ(g_terminations, 1);
  std::string log = ReadFileBytes("gamelog.txt");
  EXPECT_NE(log.find(" !!!: Error desc: Wrong XML ResPack descriptor: ./DATA/x.xml\n"), std::string::npos);
  EXPECT_NE(log.find("--==: End of log.\n"), std::string::npos);
  EXPECT_LT(log.find("Fatal error!"), log.find("End of log."));
  EXPECT_NE(ReadFileBytes("ehslog.txt").find("Exception type: Game.\n"), std::string::npos);

  EXPECT_EQ(ost_WinMain(&GameThatThrowsAText), 1);
  EXPECT_NE(ReadFileBytes("gamelog.txt").find(" !!!: Error in TItemsManager<T>::FreeItem\n"), std::string::npos);
  EXPECT_EQ(ost_WinMain(&GameThatThrowsSomethingElse), 1);
  EXPECT_NE(ReadFileBytes("gamelog.txt").find(" !!!: EXCEPTION OF UNKNOWN TYPE!\n"), std::string::npos);
  EXPECT_EQ(ost_WinMain(&GameThatEndsNormally), 0);
}

TEST_F(ProcessEntryTest, OnlyOneInstanceRuns) {
  CO2DInstanceLock other;
  ASSERT_TRUE(other.Acquire(O2D_INSTANCE_NAME));
  pid_t pid = fork();
  if (pid == 0) _exit(ost_WinMain(&GameThatEndsNormally) == 0 ? 42 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 42);
  EXPECT_FALSE(std::filesystem::exists("gamelog.txt"));  // the second instance never builds the engine
}

TEST_F(ProcessEntryTest, MachineFaultWritesTheWin32Report) {
  pid_t pid = fork();
  if (pid == 0) {
    ost_WinMain(&GameThatFaults);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGSEGV);
  std::string report = ReadFileBytes("ehslog.txt");
  EXPECT_NE(report.find("Exception type: Win32.\nException code: 3221225477\nException desc: Access violation.\n"
                        "File: \nLine: 0\nLast checkpoint:\n   FileID: 1023\n   Line:   77\n"),
            std::string::npos);
  std::string log = ReadFileBytes("gamelog.txt");
  EXPECT_NE(log.find(" !!!:    FileID: 1023\n !!!:    Line: 77\n"), std::string::npos);
}
