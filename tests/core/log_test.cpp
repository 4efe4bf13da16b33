#include "costrak.h"
#include "test_support.h"

namespace {
class GameLogTest : public TempDirTest {};
}  // namespace

// The prefixes themselves show in every subsystem's log checks; here the edges.
TEST_F(GameLogTest, LevelsOutsideTheTablesWriteNothingAndConstructionDeletesThePreviousLog) {
  COstrak::LOG_AddEntry("seven", 7);
  COstrak::LOG_AddSeparator(5);
  COstrak::LOG_AddEmptyLines(-3);
  EXPECT_EQ(GameLog(), "");
  COstrak::LOG_AddLine("old run");
  {
    COstrak engine;
    EXPECT_EQ(O2D_GetEngine(), &engine);
    EXPECT_FALSE(std::filesystem::exists("gamelog.txt"));
    COstrak::LOG_AddLine("new run");
  }
  EXPECT_EQ(O2D_GetEngine(), nullptr);
  EXPECT_EQ(GameLog(), "new run\n");
}

