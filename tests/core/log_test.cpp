#include <gtest/gtest.h>

#include "costrak.h"
#include "test_support.h"

namespace {
class GameLogTest : public TempDirTest {};
const std::string kSep1 = "|---------------------------------------------------|\n";
}  // namespace

TEST_F(GameLogTest, WritesExactPrefixesSeparatorsAndEmptyLines) {
  COstrak::LOG_AddEntry("zero", 0);
  COstrak::LOG_AddEntry("one", 1);
  COstrak::LOG_AddEntry("two", 2);
  COstrak::LOG_AddEntry("three", 3);
  COstrak::LOG_AddEntry("four", 4);
  COstrak::LOG_AddEntry("five", 5);
  COstrak::LOG_AddEntry("six", 6);
  COstrak::LOG_AddEntry("seven", 7);  // nothing
  COstrak::LOG_AddSeparator(0);       // nothing
  COstrak::LOG_AddSeparator(1);
  COstrak::LOG_AddSeparator(2);
  COstrak::LOG_AddSeparator(3);
  COstrak::LOG_AddSeparator(4);
  COstrak::LOG_AddSeparator(5);  // nothing
  COstrak::LOG_AddEmptyLines(-3);
  COstrak::LOG_AddEmptyLines(0);
  COstrak::LOG_AddEmptyLines(2);
  COstrak::LOG_AddLine("FOCUS LOST");
  COstrak::LOG_AddEntry("multi\nline", 1);
  COstrak::LOG_AddEntry("", 4);

  EXPECT_EQ(ReadFileBytes("gamelog.txt"),
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
                "   +: \n");
}

TEST_F(GameLogTest, LongMessagesAreWrittenWhole) {
  std::string big(5000, 'x');
  COstrak::LOG_AddEntry(big, 2);
  EXPECT_EQ(ReadFileBytes("gamelog.txt"), "  -=: " + big + "\n");
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
  EXPECT_EQ(ReadFileBytes("gamelog.txt"), "new run\n");
}

TEST_F(GameLogTest, UnwritableLogLosesEntriesSilently) {
  std::filesystem::create_directory("gamelog.txt");  // cannot be opened as a file
  EXPECT_NO_THROW(COstrak::LOG_AddEntry("lost", 1));
  EXPECT_NO_THROW(COstrak::LOG_AddSeparator(1));
}
