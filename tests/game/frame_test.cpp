// The game's frame on the real engine: graphics on the offscreen OpenGL device,
// input from events pushed into SDL's queue.
#include <gtest/gtest.h>

#include "gameplay_main.h"
#include "gl_engine.h"

namespace {
class GameFrameTest : public GLEngineTest {
 protected:
  void Frame() {
    ASSERT_EQ(m_engine->UpdateAllSystems(), 1);
    ASSERT_TRUE(GamePlay_Frame());
  }
};
}  // namespace

TEST_F(GameFrameTest, F9TakesOneScreenshotPerClick) {
  m_engine->InitInputSubsystem();
  PushWindowEvent(m_window, SDL_WINDOWEVENT_FOCUS_GAINED);
  Frame();
  PushKey(m_window, SDL_SCANCODE_F9, true);
  Frame();
  Frame();  // still held: no second screenshot
  PushKey(m_window, SDL_SCANCODE_F9, false);
  Frame();
  EXPECT_FALSE(std::filesystem::exists("screenshot2.bmp"));
  const std::string bmp = ReadFileBytes("screenshot1.bmp");
  ASSERT_EQ(bmp.size(), 800u * 600u * 3u + 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  // The frame is cleared to black.
  EXPECT_EQ(bmp.substr(54, 30), std::string(30, '\0'));
}
