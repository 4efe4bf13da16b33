#include <gtest/gtest.h>

#include "costrak_random.h"
#include "costrak_randomizer.h"
#include "raised.h"

TEST(Randomizer, PicksOnlyPositiveWeightsAndRefusesNothingToPick) {
  O2D_RandomSeed(1);
  TRandomizer<int> z;
  z.AddValue(1, 0);
  z.AddValue(2, 5);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(z.GetRandomValue(), 2);

  // A single value is returned without a draw: the sequence is not advanced.
  O2D_RandomSeed(7);
  const uint32_t next = O2D_Random();
  O2D_RandomSeed(7);
  TRandomizer<int> one;
  one.AddValue(7, 10);
  EXPECT_EQ(one.GetRandomValue(), 7);
  EXPECT_EQ(O2D_Random(), next);

  // No positive total weight (and no division by zero).
  TRandomizer<int> r;
  r.AddValue(1, 0);
  r.AddValue(2, -4);
  EXPECT_EQ(Raised([&] { r.GetRandomValue(); }), "Error in TRandomizer::GetRandomValue!");
  O2D_RandomSeed(1);
}
