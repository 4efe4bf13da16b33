#pragma once
// The engine on the real OpenGL device (headless: SDL's offscreen driver),
// and events pushed into SDL's queue as the window system would send them.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "o2d_sdl.h"
#include "costrak.h"
#include "costrak_gfx_font.h"
#include "costrak_gfx_light.h"
#include "costrak_gfx_tech.h"
#include "costrak_gfx_types.h"
#include "o2d_input.h"
#include "o2d_window.h"
#include "test_support.h"

// SDL unloads the GL driver together with the last OpenGL window, and the
// driver's display records then read as leaks under the sanitizer. Keeping the
// driver loaded for the whole test program keeps them reachable.
inline void KeepGLDriverLoaded() {
  static const bool loaded = O2D_InitVideo() && SDL_GL_LoadLibrary(nullptr) == 0;
  (void)loaded;
}

inline void PushWindowEvent(Uint32 window, SDL_WindowEventID id) {
  SDL_Event ev{};
  ev.window = {SDL_WINDOWEVENT, 0, window, static_cast<Uint8>(id), 0, 0, 0, 0, 0};
  ASSERT_EQ(SDL_PushEvent(&ev), 1);
}

inline void PushKey(Uint32 window, SDL_Scancode key, bool down) {
  SDL_Event ev{};
  ev.key = {Uint32(down ? SDL_KEYDOWN : SDL_KEYUP), 0, window, Uint8(down ? SDL_PRESSED : SDL_RELEASED), 0, 0, 0, {key, 0, 0, 0}};
  ASSERT_EQ(SDL_PushEvent(&ev), 1);
}

// A mouse sending its events to one window, as the window system would.
struct SDLMouse {
  Uint32 window = 0;
  int x = 0, y = 0;
  void MoveTo(int nx, int ny) {
    SDL_Event ev{};
    ev.motion = {SDL_MOUSEMOTION, 0, window, 0, 0, nx, ny, nx - x, ny - y};
    x = nx, y = ny;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
  }
  void Button(Uint8 button, bool down) {
    SDL_Event ev{};
    ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    ev.button = {ev.type, 0, window, 0, button, Uint8(down ? SDL_PRESSED : SDL_RELEASED), 1, 0, x, y};
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
  }
  void Wheel(int dy, bool flipped = false) {
    SDL_Event ev{};
    ev.type = SDL_MOUSEWHEEL;
    ev.wheel.windowID = window;
    ev.wheel.y = dy;
    ev.wheel.direction = flipped ? SDL_MOUSEWHEEL_FLIPPED : SDL_MOUSEWHEEL_NORMAL;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
  }
};

// Red, green and blue of 0xAARRGGBB colours each within `tolerance` (rounding of
// blends and products).
inline ::testing::AssertionResult RGBNear(uint32_t actual, uint32_t expected, int tolerance = 1) {
  for (int shift : {16, 8, 0})
    if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance) {
      char text[48];
      std::snprintf(text, sizeof text, "got %06X, expected %06X", actual & 0xFFFFFFu, expected & 0xFFFFFFu);
      return ::testing::AssertionFailure() << text;
    }
  return ::testing::AssertionSuccess();
}

// Started as the game starts it: 800 x 600, display mode 2, not windowed,
// presented in an ordinary window.
class GLEngineTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    setenv("OSTRAK2D_WINDOWED", "1", 1);
    KeepGLDriverLoaded();
    m_engine = std::make_unique<COstrak>();
    m_engine->GfxPreInit(800, 600);
    m_engine->GfxInit(2, false);
    m_window = SDL_GetWindowID(O2D_ToSDLWindow(m_engine->GetWindow().GetHandle()));
  }
  void TearDown() override {
    m_engine->Cleanup();
    m_engine.reset();
    unsetenv("OSTRAK2D_WINDOWED");
    TempDirTest::TearDown();
  }
  // Ends the scene begun by the test, presents it and reads it back.
  O2DFrameImage EndAndRead() {
    m_engine->SceneEnd();
    m_engine->ScenePresent();
    O2DFrameImage frame;
    EXPECT_TRUE(m_engine->GfxGetDevice()->GetFrontBufferData(frame));
    return frame;
  }
  static uint32_t At(const O2DFrameImage& frame, uint32_t x, uint32_t y) { return frame.Pixels[y * frame.Width + x]; }

  std::unique_ptr<COstrak> m_engine;
  Uint32 m_window = 0;
};
