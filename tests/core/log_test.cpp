#include <gtest/gtest.h>

#include "costrak.h"
#include "test_support.h"

namespace {
class GameLogTest : public TempDirTest {};
}  // namespace

TEST_F(GameLogTest, WritesExactPrefixesSeparatorsAndEmptyLines) {
  const char* texts[] = {"zero", "one", "two", "three", "four", "five", "six", "seven"};
  for (int level = 0; level < 8; ++level) COstrak::LOG_AddEntry(texts[level], level);  // 7: nothing
  for (int level = 0; level < 6; ++level) COstrak::LOG_AddSeparator(level);           // 0 and 5: nothing
  COstrak::LOG_AddEmptyLines(-3);
  COstrak::LOG_AddEmptyLines(0);
  COstrak::LOG_AddEmptyLines(2);
  COstrak::LOG_AddLine("FOCUS LOST");
  COstrak::LOG_AddEntry("multi\nline", 1);
  COstrak::LOG_AddEntry("", 4);
  const std::string big(5000, 'x');
  COstrak::LOG_AddEntry(big, 2);  // long messages are written whole

  EXPECT_EQ(GameLog(),
            "? zero\n"
            "   =: one\n"
            "  -=: two\n"
            "--==: three\n"
            "   +: four\n"
            " !: five\n"
            " !!!: six\n" +
                kSep1 +
                "|===================================================|\n"
                "|:::::::::::::::::::::::::::::::::::::::::::::::::::|\n"
                "|!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!|\n"
                "\n\n"
                "FOCUS LOST\n"
                "   =: multi\nline\n"
                "   +: \n"
                "  -=: " +
                big + "\n");
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
