#include <tuple>

#include "costrak.h"
#include "ost_window.h"
#include "raised.h"
#include "test_support.h"

TEST(ErrorRecord, RaiseRecordsTheSiteAndAssertionUsesCodeZero) {
  int line = 0;
  try {
    line = __LINE__ + 1;
    EHS_RAISE(EHS_GAME, 7, "Invalid texture ID!");
  } catch (const CEHSException& e) {
    // The file is stable across machines: the path inside the repository, never an absolute one.
    EXPECT_EQ(std::tuple(e.Type, e.Code, e.Desc, e.File, e.Line),
              std::tuple(2u, 7u, "Invalid texture ID!", "tests/core/ehs_test.cpp", line));
  }
  EXPECT_EQ(Raised([] {
              const int* nothing = nullptr;
              EHS_ASSERT(nothing);
            }),
            "1 0: EHS Assertion failed.");
}

TEST_F(TempDirTest, FatalReportInTheGameLog) {
  EHS_WriteFatalLogReport(9, 0, "Cannot do it!", "engine/x.cpp", 12, "OnStart");
  const std::string sep3 = "|:::::::::::::::::::::::::::::::::::::::::::::::::::|\n";
  EXPECT_EQ(GameLog(),
            "\n\n" + sep3 +
                " !!!: Fatal error!\n"
                " !!!: Error type: Undefined type!\n"
                " !!!: Error code: 0\n"
                " !!!: Error desc: Cannot do it!\n"
                " !!!: Error location: \n"
                " !!!:    File: engine/x.cpp\n"
                " !!!:    Line: 12\n"
                " !!!: Last called Lua function name: OnStart\n" +
                sep3 + "\n\n");
}
