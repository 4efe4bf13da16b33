// The renderer's probe window becomes the game window, with its context.
#include <string>

#include "gl_engine.h"
#include "o2d_gl_device.h"

namespace {

TEST(GLAdapterWindowTest, TheGameWindowIsTheProbeAndDrawsThroughItsContext) {
  KeepGLDriverLoaded();
  // Window IDs count up: the probe is the first window after this one.
  SDL_Window* marker = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
  ASSERT_NE(marker, nullptr) << SDL_GetError();
  const Uint32 probeId = SDL_GetWindowID(marker) + 1;
  SDL_DestroyWindow(marker);
  std::string why;
  int windowMade = 0;  // the hook start-up work waits for: once, with the probe there
  IO2DRenderAdapter* adapter =
      O2DCreateGLAdapter(&why, [&] { windowMade += SDL_GetWindowFromID(probeId) != nullptr ? 1 : 100; });
  ASSERT_NE(adapter, nullptr) << why;
  EXPECT_EQ(windowMade, 1);
  {
    CO2DWindow window;
    ASSERT_TRUE(window.Create("game", 800, 600, true));
    EXPECT_EQ(SDL_GetWindowID(O2D_ToSDLWindow(window.GetHandle())), probeId);
    O2DPresentParams params;
    params.Window = window.GetHandle();
    params.Windowed = true;
    IO2DRenderDevice* device = adapter->CreateDevice(params);
    ASSERT_NE(device, nullptr) << adapter->LastError();
    device->Clear(D3DCLEAR_TARGET, 0xFF336699u, 0.0f);
    device->Present();
    O2DFrameImage frame;
    ASSERT_TRUE(device->GetFrontBufferData(frame));
    EXPECT_EQ(frame.Pixels.at(0), 0xFF336699u);
    EXPECT_EQ(device->Release(), 0u);
    // A second game window is a window of its own.
    CO2DWindow second;
    ASSERT_TRUE(second.Create("second", 320, 200, true));
    EXPECT_NE(SDL_GetWindowID(O2D_ToSDLWindow(second.GetHandle())), probeId);
  }
  EXPECT_EQ(adapter->Release(), 0u);
}

}  // namespace
