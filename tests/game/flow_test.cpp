// The block under the cursor and the best-result file.
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "gameinit_routine.h"
#include "gameplay_main.h"
#include "highscore.h"
#include "raised.h"
#include "test_support.h"

namespace {

TEST(BlockRules, NearestBlockCentreKeptInsideTheBoard) {
  // Columns include 1.5 in the first block, rows do not; two cells are one block.
  for (auto [at, cells, column, block] : {std::tuple{1.5f, 4, true, 0}, {1.51f, 4, true, 1}, {2.49f, 4, true, 1},
                                          {2.5f, 4, true, 2}, {3.99f, 4, true, 2}, {1.5f, 4, false, 1},
                                          {0.01f, 4, false, 0}, {1.9f, 2, true, 0}})
    EXPECT_EQ(GameBlockIndex(at, cells, column), block) << at << " of " << cells << (column ? " columns" : " rows");
}

TEST(GamePlayInit, BoardsWithoutA2x2BlockAreRefused) {
  GameLogicReset();
  GameLogic().Columns = 1, GameLogic().Rows = 5;
  EXPECT_EQ(Raised([] { GamePlay_Init(); }), "2 0: Error in GamePlay_Init(): invalid array size X!");
  GameLogic().Columns = 5, GameLogic().Rows = 1;
  EXPECT_EQ(Raised([] { GamePlay_Init(); }), "2 0: Error in GamePlay_Init(): invalid array size Y!");
  GameLogicReset();
}

class HighscoreTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    std::filesystem::create_directory("DATA");  // the data folder's name in any case
  }
  static std::string Load() {
    return Raised([] { LoadFile(); });
  }
};

TEST_F(HighscoreTest, StoredBytesAndEveryRefusal) {
  EXPECT_FALSE(LoadFile());
  EXPECT_EQ(HighscoreGetName(), "Unknown");
  EXPECT_EQ(HighscoreGetMoves(), 0);
  EXPECT_TRUE(LogHas("Loading highscore data..."));

  HighscoreSet("Bob", 99);
  SaveFile();
  HighscoreSet("Ann", 42);
  SaveFile();  // the last result replaces the first
  EXPECT_EQ(ReadFileBytes("DATA/kavelhs.dat"), std::string("Ann\0\x2A\0\0\0", 8));
  HighscoreSet("", 0);
  EXPECT_TRUE(LoadFile());
  EXPECT_EQ(HighscoreGetName() + std::to_string(HighscoreGetMoves()), "Ann42");

  const std::string badCount = "2 0: Error in LoadFile: Invalid count moves!";
  for (const auto& [bytes, expected] :
       {std::pair{std::string(1, '\0'), std::string("2 0: Error in LoadFile: Invalid player name!")},
        {std::string("A\0\0\0\0\0", 6), badCount},
        {std::string("A\0\xFF\xFF\xFF\xFF", 6), badCount},
        {std::string("A\0", 2), badCount},
        {std::string("A"), badCount}}) {
    WriteFileBytes("DATA/kavelhs.dat", bytes);
    EXPECT_EQ(Load(), expected) << bytes.size();
  }
}

TEST_F(HighscoreTest, AFailedWriteKeepsTheOldResult) {
  WriteFileBytes("DATA/kavelhs.dat", std::string("Ann\0\x2A\0\0\0", 8));
  std::filesystem::create_directory("DATA/kavelhs.dat.new");  // the temporary file cannot be made
  HighscoreSet("Eve", 7);
  EXPECT_EQ(Raised([] { SaveFile(); }), "2 0: Can't writing file kavelhs.dat!");
  EXPECT_EQ(ReadFileBytes("DATA/kavelhs.dat"), std::string("Ann\0\x2A\0\0\0", 8));
  std::filesystem::remove_all("DATA");
  EXPECT_EQ(Raised([] { SaveFile(); }), "2 0: Can't writing file kavelhs.dat!");  // no data folder
}

}  // namespace
