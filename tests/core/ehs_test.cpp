#include <gtest/gtest.h>

#include "costrak.h"
#include "test_support.h"

namespace {
class ErrorReportTest : public TempDirTest {};

std::string DateLines(const EHSLocalTime& t) {
  return "Date: " + std::to_string(t.day) + "." + std::to_string(t.month) + "." + std::to_string(t.year) +
         "\nTime: " + std::to_string(t.hour) + ":" + std::to_string(t.minute) + "\n";
}
}  // namespace

TEST(ErrorRecord, TypeNames) {
  const char* names[] = {"Unknown.", "General.", "Game.", "Win32.", "Lua.", "Lua glue function.", "In-script."};
  for (uint32_t t = 0; t < 7; ++t) EXPECT_STREQ(CEHSException(t, 0, "", "", 0).GetTypeName(), names[t]);
  EXPECT_STREQ(CEHSException(9, 0, "", "", 0).GetTypeName(), "Undefined type!");
}

TEST(ErrorRecord, RaiseRecordsTheSitesFileAndLineAndAssertionUsesCodeZero) {
  int line = 0;
  try {
    line = __LINE__ + 1;
    EHS_RAISE(EHS_GAME, 7, "Invalid texture ID!");
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.Type, 2u);
    EXPECT_EQ(e.Code, 7u);
    EXPECT_EQ(e.Desc, "Invalid texture ID!");
    // Stable across machines: the path inside the repository, never an absolute one.
    EXPECT_EQ(e.File, "tests/core/ehs_test.cpp");
    EXPECT_EQ(e.Line, line);
  }
  const int* nothing = nullptr;
  try {
    EHS_ASSERT(nothing);
    FAIL() << "assertion did not raise";
  } catch (const CEHSException& e) {
    EXPECT_EQ(e.Type, 1u);
    EXPECT_EQ(e.Code, 0u);
    EXPECT_EQ(e.Desc, "EHS Assertion failed.");
  }
}

TEST(ErrorRecord, CheckpointHoldsTheLastFileAndLine) {
  EHS_SetCheckpoint(113, 42);
  EXPECT_EQ(EHS_GetCheckpointFile(), 113);
  EXPECT_EQ(EHS_GetCheckpointLine(), 42);
}

TEST(ErrorRecord, MachineFaultTable) {
  EXPECT_STREQ(EHS_MachineFaultDesc(3221225477u), "Access violation.");
  EXPECT_STREQ(EHS_MachineFaultDesc(EHS_EXCEPTION_INT_DIVIDE_BY_ZERO), "Divide by zero (int).");
  EXPECT_STREQ(EHS_MachineFaultDesc(EHS_EXCEPTION_ILLEGAL_INSTRUCTION), "Illegal instruction.");
  EXPECT_STREQ(EHS_MachineFaultDesc(EHS_EXCEPTION_DATATYPE_MISALIGNMENT), "Data type misalingment.");
  EXPECT_STREQ(EHS_MachineFaultDesc(EHS_EXCEPTION_STACK_OVERFLOW), "Stack overflow.");
  EXPECT_EQ(EHS_MachineFaultDesc(0x12345678u), nullptr);
}

TEST_F(ErrorReportTest, ReportsAccumulateInEhslog) {
  EHS_SetCheckpoint(121, 77);
  CEHSException e(EHS_GAME, 4294967295u, "Invalid resource ID!", "engine/costrak_res_main.cpp", -5);
  EHSLocalTime before = EHS_LocalTimeNow();
  e.WriteReport();
  e.WriteReport();
  std::string one = "\n\n\n" + DateLines(before) +
                    "Exception type: Game.\n"
                    "Exception code: 4294967295\n"
                    "Exception desc: Invalid resource ID!\n"
                    "File: engine/costrak_res_main.cpp\n"
                    "Line: -5\n"
                    "Last checkpoint:\n"
                    "   FileID: 121\n"
                    "   Line:   77\n";
  EXPECT_EQ(ReadFileBytes("ehslog.txt"), one + one);
}

TEST_F(ErrorReportTest, FatalReportInTheGameLog) {
  EHS_SetCheckpoint(116, 300);
  EHS_WriteFatalLogReport(9, 0, "Cannot do it!", "engine/x.cpp", 12, "OnStart");
  EHS_WriteFatalLogReport(EHS_WIN32, 3221225477u, "Access violation.", "", 0, "");
  const std::string sep3 = "|:::::::::::::::::::::::::::::::::::::::::::::::::::|\n";
  EXPECT_EQ(ReadFileBytes("gamelog.txt"),
            "\n\n" + sep3 +
                " !!!: Fatal error!\n"
                " !!!: Error type: Undefined type!\n"
                " !!!: Error code: 0\n"
                " !!!: Error desc: Cannot do it!\n"
                " !!!: Error location: \n"
                " !!!:    File: engine/x.cpp\n"
                " !!!:    Line: 12\n"
                " !!!: Last called Lua function name: OnStart\n" +
                sep3 + "\n\n" + "\n\n" + sep3 +
                " !!!: Fatal error!\n"
                " !!!: Error type: Win32.\n"
                " !!!: Error code: 3221225477\n"
                " !!!: Error desc: Access violation.\n"
                " !!!: Error location: \n"
                " !!!:    FileID: 116\n"
                " !!!:    Line: 300\n"
                " !!!: Last called Lua function name: \n" +
                sep3 + "\n\n");
}

TEST(LocalTime, SignalSafeClockAgreesWithTheLibrary) {
  EHS_CacheLocalTimeOffset();
  EHSLocalTime a = EHS_LocalTimeNow();
  EHSLocalTime b = EHS_LocalTimeNowSignalSafe();
  EXPECT_EQ(a.year, b.year);
  EXPECT_EQ(a.month, b.month);
  EXPECT_EQ(a.day, b.day);
  EXPECT_EQ(a.hour, b.hour);
}
