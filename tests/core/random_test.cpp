#include <gtest/gtest.h>

#include <string>

#include "costrak_random.h"
#include "costrak_randomizer.h"
#include "raised.h"

namespace {
class RandomTest : public ::testing::Test {
 protected:
  void SetUp() override { O2D_RandomSeed(1); }
  void TearDown() override { O2D_RandomSeed(1); }
};
}  // namespace

TEST_F(RandomTest, SequenceFromTheStartState) {
  const uint32_t expected[] = {41, 18467, 6334, 26500, 19169};
  for (uint32_t v : expected) EXPECT_EQ(O2D_Random(), v);
  // The state wraps at 32 bits and results stay within 15 bits.
  O2D_RandomSeed(0xFFFFFFFFu);
  EXPECT_EQ(O2D_Random(), ((0xFFFFFFFFu * 214013u + 2531011u) >> 16) & 0x7FFFu);
  for (int i = 0; i < 1000; ++i) EXPECT_LE(O2D_Random(), 0x7FFFu);
}

TEST_F(RandomTest, RandomizerPicksByWeightedRanges) {
  TRandomizer<std::string> r;
  r.AddValue("a", 10);
  r.AddValue("b", 30);
  r.AddValue("c", 10);
  EXPECT_EQ(r.GetRandomValue(), "c");  // 41 % 50 = 41 lies in [40, 50)
  EXPECT_EQ(r.GetRandomValue(), "b");  // 18467 % 50 = 17 lies in [10, 40)
  EXPECT_EQ(r.GetRandomValue(), "b");  // 6334 % 50 = 34
  EXPECT_EQ(r.GetRandomValue(), "a");  // 26500 % 50 = 0 lies in [0, 10)

  // A weight of 0 gives an empty range: never chosen.
  TRandomizer<int> z;
  z.AddValue(1, 0);
  z.AddValue(2, 5);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(z.GetRandomValue(), 2);
}

TEST_F(RandomTest, RandomizerRefusesNothingToPickAndReturnsSingleWithoutDrawing) {
  TRandomizer<int> none;
  EXPECT_EQ(Raised([&] { none.GetRandomValue(); }), "No values were thrown in randomizer!");
  TRandomizer<int> one;
  one.AddValue(7, 10);
  EXPECT_EQ(one.GetRandomValue(), 7);
  EXPECT_EQ(O2D_Random(), 41u);  // the generator was not touched

  // No positive total weight (and no division by zero).
  TRandomizer<int> r;
  r.AddValue(1, 0);
  r.AddValue(2, 0);
  EXPECT_EQ(Raised([&] { r.GetRandomValue(); }), "Error in TRandomizer::GetRandomValue!");
  r.AddValue(3, -4);
  EXPECT_EQ(Raised([&] { r.GetRandomValue(); }), "Error in TRandomizer::GetRandomValue!");
}
