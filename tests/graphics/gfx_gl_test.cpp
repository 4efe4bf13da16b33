// The engine's graphics code on the real OpenGL device (headless: SDL's
// offscreen driver), started as the game starts it: 800 x 600, mode 2, not
// windowed, presented in an ordinary window.
#include <gtest/gtest.h>

#include <string>

#include "gl_engine.h"

namespace {

using GfxGLTest = GLEngineTest;

TEST_F(GfxGLTest, ScreenshotOfAKnownFrame) {
  m_engine->SceneBegin();
  m_engine->SceneClearScreen(1, 0, 0);
  m_engine->VQuadSetColor(0, 0, 1, 1);
  m_engine->VQuadSetPos(0, 590, 4, 10);  // bottom-left corner
  m_engine->SceneRender();
  m_engine->SceneEnd();
  m_engine->ScenePresent();
  m_engine->SceneMakeScreenshot();
  const std::string bmp = ReadFileBytes("screenshot1.bmp");
  ASSERT_EQ(bmp.size(), 800u * 3u * 600u + 54u);
  auto pixel = [&](uint32_t x, uint32_t rowFromBottom) {
    const size_t at = 54 + size_t(rowFromBottom) * 2400 + x * 3;
    return uint32_t(uint8_t(bmp[at + 2])) << 16 | uint32_t(uint8_t(bmp[at + 1])) << 8 | uint8_t(bmp[at]);
  };
  EXPECT_EQ(pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(pixel(3, 9), 0x0000FFu);
  EXPECT_EQ(pixel(4, 0), 0xFF0000u);
  EXPECT_EQ(pixel(0, 10), 0xFF0000u);
  EXPECT_EQ(pixel(799, 599), 0xFF0000u);
}

}  // namespace
