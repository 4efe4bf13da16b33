// Timers as the game uses them: a fade that runs once over its period, a loop,
// and random events at tenths of a second within their range.
#include "costrak_random.h"
#include "gui_fixture.h"
#include "o2dgui_stdclass_flex.h"

namespace {

TEST_F(GUIListsTest, ATimersFactorRunsThroughItsPeriodOnceAndThenRests) {
  m_gui->RegisterAction("Once", [] { Record("once"); });
  Load("<desktop><timer id=\"TMR_ONCE\" enabled=\"1\" on_factoraction=\"Once\"/></desktop>");
  Frames(12, 0.125f);
  EXPECT_EQ(Calls(), (Strings{"once 0.125", "once 0.25", "once 0.375", "once 0.5", "once 0.625", "once 0.75",
                              "once 0.875"}));
}

std::vector<uint32_t> g_randomAt;  // clock times of the random actions, in ms

TEST_F(GUIListsTest, TimerRandomDelaysAreTenthsOfASecondFromTheSharedGenerator) {
  m_gui->RegisterAction("Random", [] { g_randomAt.push_back(s_clockMs); });
  Load("<desktop><timer id=\"TMR_RND\" enabled=\"1\" randomaction_mintime=\"1\" randomaction_maxtime=\"1.5\" "
       "on_randomaction=\"Random\"/></desktop>");
  // The delays the generator gives from a known state: 1.0 to 1.4 s.
  std::vector<uint32_t> expected;
  O2D_RandomSeed(7);
  for (int i = 0; i < 10; ++i) expected.push_back(1000 + 100 * (O2D_Random() % 5));
  O2D_RandomSeed(7);
  g_randomAt = {s_clockMs};
  m_gui->ExecuteElementCommand("TMR_RND", GUICMD_TIMER_RESTART);
  while (g_randomAt.size() < 10) Frame(0.05f);
  // Summed frame times may reach a delay one frame late.
  for (size_t i = 1; i < g_randomAt.size(); ++i) {
    const uint32_t interval = g_randomAt[i] - g_randomAt[i - 1];
    EXPECT_GE(interval, expected[i - 1]) << i;
    EXPECT_LE(interval, expected[i - 1] + 50) << i;
  }
}

}  // namespace
