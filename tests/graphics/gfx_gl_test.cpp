// The engine's graphics code on the real OpenGL device (headless: SDL's
// offscreen driver), started as the game starts it: 800 x 600, mode 2, not
// windowed, presented in an ordinary window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gl_engine.h"

namespace {

bool Near(uint32_t actual, uint32_t expected, int tolerance = 1) {
  for (int shift : {16, 8, 0})
    if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

using GfxGLTest = GLEngineTest;

TEST_F(GfxGLTest, ClearColourAndAQuadAtExactlyItsPixels) {
  m_engine->SceneBegin();
  m_engine->SceneClearScreen(0.2f, 0.4f, 0.6f);
  m_engine->VQuadSetColor(0, 1, 0, 1);
  m_engine->VQuadSetPos(10, 20, 32, 32);
  m_engine->SceneRender();
  const O2DFrameImage frame = EndAndRead();
  ASSERT_EQ(frame.Width, 800u);
  uint32_t covered = 0;
  for (uint32_t y = 0; y < 600; ++y)
    for (uint32_t x = 0; x < 800; ++x) {
      const bool inside = x >= 10 && x < 42 && y >= 20 && y < 52;
      const uint32_t pixel = At(frame, x, y);
      ASSERT_EQ(pixel, inside ? 0xFF00FF00u : 0xFF336699u) << x << "," << y;
      covered += inside;
    }
  EXPECT_EQ(covered, 32u * 32u);
}

// A texture bound through the device, then a half-transparent quad blended over blue.
TEST_F(GfxGLTest, TexturedQuadTexelForPixelAndAlphaBlending) {
  IO2DRenderDevice* device = m_engine->GfxGetDevice();
  std::vector<uint32_t> texels(16 * 16);
  for (uint32_t i = 0; i < texels.size(); ++i) texels[i] = 0xFF000000u | (i % 16) * 16 << 16 | (i / 16) * 16 << 8 | 0x40;
  IO2DTexture* texture = device->CreateTexture(16, 16, 1, D3DFMT_A8R8G8B8, texels.data());
  ASSERT_NE(texture, nullptr);
  m_engine->SceneBegin();
  m_engine->SceneClearScreen(0, 0, 1);
  device->SetTexture(0, texture);
  m_engine->VQuadSetColor(1, 1, 1, 1);
  m_engine->VQuadSetTexCoords(1, 0, 0, 1, 1);
  m_engine->VQuadSetPos(300, 100, 16, 16);
  m_engine->SceneRender();
  m_engine->BatchFlush();  // as a texture change would
  device->SetTexture(0, nullptr);
  device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  m_engine->VQuadSetColor(1, 0, 0, 0.5f);  // alpha byte 127
  m_engine->VQuadSetPos(0, 0, 16, 16);
  m_engine->SceneRender();
  const O2DFrameImage frame = EndAndRead();
  for (uint32_t y = 0; y < 16; ++y)
    for (uint32_t x = 0; x < 16; ++x) ASSERT_EQ(At(frame, 300 + x, 100 + y), texels[y * 16 + x]) << x << "," << y;
  EXPECT_EQ(At(frame, 299, 100), 0xFF0000FFu);
  EXPECT_EQ(At(frame, 316, 115), 0xFF0000FFu);
  EXPECT_EQ(At(frame, 300, 116), 0xFF0000FFu);
  // red 255 x 127/255, blue 255 x 128/255
  EXPECT_TRUE(Near(At(frame, 8, 8), 0xFF7F0080u));
  texture->Release();
}

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
