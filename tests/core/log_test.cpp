#include <gtest/gtest.h>

#include "costrak.h"
#include "test_support.h"

namespace {
class GameLogTest : public TempDirTest {};
}  // namespace

// The prefixes themselves show in every subsystem's log checks; here the edges.
TEST_F(GameLogTest, LevelsOutsideTheTablesWriteNothingAndLongEntriesStayWhole) {
  COstrak::LOG_AddEntry("seven", 7);
  for (int level : {0, 5}) COstrak::LOG_AddSeparator(level);
  COstrak::LOG_AddEmptyLines(-3);
  COstrak::LOG_AddEmptyLines(0);
  EXPECT_EQ(GameLog(), "");
  COstrak::LOG_AddEmptyLines(2);
  COstrak::LOG_AddEntry("multi\nline", 1);
  const std::string big(5000, 'x');
  COstrak::LOG_AddEntry(big, 2);
  EXPECT_EQ(GameLog(), "\n\n   =: multi\nline\n  -=: " + big + "\n");
}

TEST_F(GameLogTest, EngineConstructionDeletesThePreviousLog) {
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

TEST_F(GameLogTest, UnwritableLogLosesEntriesSilently) {
  std::filesystem::create_directory("gamelog.txt");  // cannot be opened as a file
  EXPECT_NO_THROW(COstrak::LOG_AddEntry("lost", 1));
  EXPECT_NO_THROW(COstrak::LOG_AddSeparator(1));
}
