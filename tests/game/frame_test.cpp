// The game's frame on the real engine: graphics on the offscreen OpenGL device,
// input from events pushed into SDL's queue.
#include <gtest/gtest.h>

#include <memory>

#include "costrak.h"
#include "gameplay_main.h"
#include "gl_driver.h"
#include "test_support.h"

namespace {
class GameFrameTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    setenv("OSTRAK2D_WINDOWED", "1", 1);
    KeepGLDriverLoaded();
    m_engine = std::make_unique<COstrak>();
    m_engine->GfxPreInit(800, 600);
    m_engine->GfxInit(2, false);
    m_engine->InitInputSubsystem();
    m_window = SDL_GetWindowID(m_engine->GetWindow().GetSDLWindow());
    Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_FOCUS_GAINED);
  }
  void TearDown() override {
    m_engine->Cleanup();
    m_engine.reset();
    unsetenv("OSTRAK2D_WINDOWED");
    TempDirTest::TearDown();
  }
  void Push(Uint32 type, Uint8 windowEvent = 0, SDL_Scancode key = SDL_SCANCODE_UNKNOWN) {
    SDL_Event ev{};
    ev.type = type;
    if (type == SDL_WINDOWEVENT) {
      ev.window.windowID = m_window;
      ev.window.event = windowEvent;
    } else {
      ev.key.windowID = m_window;
      ev.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
      ev.key.keysym.scancode = key;
    }
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
  }
  void Frame() {
    ASSERT_EQ(m_engine->UpdateAllSystems(), 1);
    ASSERT_TRUE(GamePlay_Frame());
  }
  std::unique_ptr<COstrak> m_engine;
  Uint32 m_window = 0;
};
}  // namespace

TEST_F(GameFrameTest, F9TakesOneScreenshotPerClick) {
  Frame();
  Push(SDL_KEYDOWN, 0, SDL_SCANCODE_F9);
  Frame();
  Frame();  // still held: no second screenshot
  Push(SDL_KEYUP, 0, SDL_SCANCODE_F9);
  Frame();
  EXPECT_TRUE(std::filesystem::exists("screenshot1.bmp"));
  EXPECT_FALSE(std::filesystem::exists("screenshot2.bmp"));
  const std::string bmp = ReadFileBytes("screenshot1.bmp");
  ASSERT_EQ(bmp.size(), 800u * 600u * 3u + 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  // The frame is cleared to black.
  EXPECT_EQ(bmp.substr(54, 30), std::string(30, '\0'));
}
