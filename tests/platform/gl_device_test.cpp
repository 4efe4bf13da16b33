// The OpenGL device, drawn for real (headless: SDL's offscreen driver on Mesa).
#include <epoxy/gl.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "gl_engine.h"
#include "o2d_gl_device.h"
#include "o2d_backends.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000u;

class GLDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    m_adapter = O2DCreateGLAdapter(&why);
    ASSERT_NE(m_adapter, nullptr) << why;
    m_window = SDL_CreateWindow("test", 0, 0, 800, 600, SDL_WINDOW_OPENGL);
    ASSERT_NE(m_window, nullptr) << SDL_GetError();
    m_params.Window = O2D_FromSDLWindow(m_window);
    m_params.Windowed = true;
    m_device = m_adapter->CreateDevice(m_params);
    ASSERT_NE(m_device, nullptr) << m_adapter->LastError();
    UploadQuadIndices();
  }

  void UploadQuadIndices() {
    std::vector<uint16_t> indices;
    for (uint16_t v = 0; v < O2D_VERTEX_BUFFER_VERTICES; v += 4)
      indices.insert(indices.end(), {v, uint16_t(v + 1), uint16_t(v + 2), v, uint16_t(v + 2), uint16_t(v + 3)});
    ASSERT_TRUE(m_device->UploadIndices(indices.data(), uint32_t(indices.size())));
  }

  void TearDown() override {
    if (m_device) {
      EXPECT_EQ(m_device->Release(), 0u);
    }
    if (m_window) SDL_DestroyWindow(m_window);
    if (m_adapter) {
      EXPECT_EQ(m_adapter->Release(), 0u);
    }
  }

  // A quad as the engine queues it: pixel x, y of the given size, corners
  // shifted by -0.5; the whole texture in both coordinate sets.
  void DrawQuad(float x, float y, float w, float h, uint32_t diffuse) {
    QuadVertex* v = m_device->LockVertexBuffer();
    ASSERT_NE(v, nullptr);
    const float xs[4] = {x, x + w, x + w, x}, ys[4] = {y, y, y + h, y + h}, us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
    for (int k = 0; k < 4; ++k)
      v[k] = {xs[k] - 0.5f, ys[k] - 0.5f, 0.5f, 0.5f, diffuse, 0xFFFFFFFFu, us[k], vs[k], us[k], vs[k]};
    ASSERT_TRUE(m_device->UnlockVertexBuffer());
    ASSERT_TRUE(m_device->DrawIndexedTriangleList(0, 4, 0, 2));
  }

  O2DFrameImage PresentAndRead() {
    m_device->Present();
    O2DFrameImage frame;
    EXPECT_TRUE(m_device->GetFrontBufferData(frame));
    EXPECT_EQ(frame.Pixels.size(), 800u * 600u);
    return frame;
  }

  static uint32_t At(const O2DFrameImage& frame, uint32_t x, uint32_t y) { return frame.Pixels[y * frame.Width + x]; }
  // What reached the 600-pixel-high window (the offscreen driver's swap leaves it readable).
  static uint32_t WindowAt(int x, int yFromTop) {
    uint32_t pixel = 0;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(x, 599 - yFromTop, 1, 1, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &pixel);
    return pixel;
  }

  // Tests run unpaced; this device waits for the display as the game's does.
  void UsePacedDevice() {
    unsetenv("OSTRAK2D_UNPACED");
    ASSERT_EQ(m_device->Release(), 0u);
    m_device = m_adapter->CreateDevice(m_params);
    setenv("OSTRAK2D_UNPACED", "1", 1);
    ASSERT_NE(m_device, nullptr) << m_adapter->LastError();
    UploadQuadIndices();
  }

  O2DPresentParams m_params;
  IO2DRenderAdapter* m_adapter = nullptr;
  SDL_Window* m_window = nullptr;
  IO2DRenderDevice* m_device = nullptr;
};

// Clears fill the viewport only. Read back gives the frame last presented, not what was drawn
// since; the window shows it right way up, through the gamma ramp only when that changes colours.
TEST_F(GLDeviceTest, ClearFillsTheViewportAndTheWindowShowsThePresentedFrameUprightThroughItsRamp) {
  // Before the first present the front frame is a cleared one, whatever the back holds.
  m_device->Clear(D3DCLEAR_TARGET, 0xFF00FF00u, 0.0f);
  O2DFrameImage first;
  ASSERT_TRUE(m_device->GetFrontBufferData(first));
  EXPECT_EQ(At(first, 0, 0), kBlack);
  O2DGammaRamp ramp;
  // Not exactly i x 257, yet every entry rounds back to i.
  for (int i = 0; i < 256; ++i) ramp.Red[i] = ramp.Green[i] = ramp.Blue[i] = uint16_t(i * 257 + (i < 255 ? 100 : 0));
  for (bool inverted : {false, true}) {
    if (inverted)
      for (int i = 0; i < 256; ++i) ramp.Red[i] = uint16_t((255 - i) * 257);
    m_device->SetGammaRamp(D3DSGR_NO_CALIBRATION, ramp);
    m_device->SetViewport({0, 0, 800, 600, 0.0f, 1.0f});
    m_device->Clear(D3DCLEAR_TARGET, 0xFF102030u, 0.0f);
    m_device->SetViewport({100, 50, 20, 10, 0.0f, 1.0f});
    m_device->Clear(D3DCLEAR_TARGET, 0xFFC08040u, 0.0f);
    const O2DFrameImage frame = PresentAndRead();
    for (auto [x, y] : {std::pair{100, 50}, {119, 59}}) {
      EXPECT_EQ(At(frame, x, y), 0xFFC08040u) << x << "," << y;
      EXPECT_EQ(WindowAt(x, y), inverted ? 0xFF3F8040u : 0xFFC08040u) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{0, 0}, {799, 599}, {99, 50}, {120, 59}, {100, 49}, {100, 60}}) {
      EXPECT_EQ(At(frame, x, y), 0xFF102030u) << x << "," << y;
      EXPECT_EQ(WindowAt(x, y), inverted ? 0xFFEF2030u : 0xFF102030u) << x << "," << y;
    }
  }
  m_device->Clear(D3DCLEAR_TARGET, 0xFF00FF00u, 0.0f);
  O2DFrameImage again;
  ASSERT_TRUE(m_device->GetFrontBufferData(again));
  EXPECT_EQ(At(again, 100, 50), 0xFFC08040u);
}

// Only an A8R8G8B8 frame keeps the alpha drawn into it; the window is opaque either way.
TEST_F(GLDeviceTest, OnlyAFrameWithDestinationAlphaKeepsItAndTheWindowStaysOpaque) {
  for (uint32_t format : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}) {
    m_params.BackBufferFormat = format;
    ASSERT_TRUE(m_device->Reset(m_params));
    m_device->Clear(D3DCLEAR_TARGET, 0x40102030u, 0.0f);
    EXPECT_EQ(At(PresentAndRead(), 5, 5), format == D3DFMT_A8R8G8B8 ? 0x40102030u : 0xFF102030u);
    EXPECT_EQ(WindowAt(5, 5), 0xFF102030u);
  }
}

// The offscreen driver does not wait at the swap: the device waits out the
// refresh itself (60 Hz, the rate it reports or assumes).
TEST_F(GLDeviceTest, PresentsComeNoFasterThanTheRefresh) {
  UsePacedDevice();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 7; ++i) m_device->Present();
  // Six full periods after the first present.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(6 * 16666));
}

TEST_F(GLDeviceTest, TexturedQuadMapsOneTexelToOnePixelWithEitherFilter) {
  std::vector<uint32_t> texels(32 * 32);
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 32; ++x) texels[y * 32 + x] = 0xFF000000u | (x * 8) << 16 | (y * 8) << 8 | (x ^ y) * 4;
  IO2DTexture* texture = m_device->CreateTexture(32, 32, 1, D3DFMT_A8R8G8B8, texels.data());
  ASSERT_NE(texture, nullptr);
  m_device->SetTexture(0, texture);
  for (uint32_t filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
    m_device->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
    m_device->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
    m_device->Clear(D3DCLEAR_TARGET, kBlack, 0.0f);
    DrawQuad(100, 200, 32, 32, 0xFFFFFFFFu);
    const O2DFrameImage frame = PresentAndRead();
    for (uint32_t y = 0; y < 32; ++y)
      for (uint32_t x = 0; x < 32; ++x) ASSERT_EQ(At(frame, 100 + x, 200 + y), texels[y * 32 + x]) << filter << ":" << x << "," << y;
    EXPECT_EQ(At(frame, 99, 200), kBlack);
    EXPECT_EQ(At(frame, 132, 231), kBlack);
  }
  texture->Release();
}

// Blending the texel onto black by its own alpha shows colour and alpha at once; a
// lock reads the texels back from the GPU's copy, unused X bits as ones.
TEST_F(GLDeviceTest, EveryTextureFormatSamplesItsColourAndAlphaAndLocksItsTexels) {
  struct Case {
    uint32_t format, texel, expected, locked;
  };
  const Case cases[] = {
      {D3DFMT_R5G6B5, 0xF810, 0xFFFF0084u, 0xF810},         {D3DFMT_X1R5G5B5, 0x7C00, 0xFFFF0000u, 0xFC00},
      {D3DFMT_A1R5G5B5, 0x7C00, kBlack, 0x7C00},            {D3DFMT_A1R5G5B5, 0x83E0, 0xFF00FF00u, 0x83E0},
      {D3DFMT_A4R4G4B4, 0x8F00, 0xFF880000u, 0x8F00},       {D3DFMT_X4R4G4B4, 0x00F0, 0xFF00FF00u, 0xF0F0},
      {D3DFMT_A8R8G8B8, 0x800000FF, 0xFF000080u, 0x800000FF}, {D3DFMT_X8R8G8B8, 0x00FF0000, 0xFFFF0000u, 0xFFFF0000},
  };
  m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "format " << c.format << " texel " << std::hex << c.texel);
    const uint32_t bpp = O2DFormatBytesPerPixel(c.format);
    std::vector<uint8_t> bytes(32 * 32 * bpp);
    for (size_t i = 0; i < 32 * 32; ++i) std::memcpy(&bytes[i * bpp], &c.texel, bpp);
    IO2DTexture* texture = m_device->CreateTexture(32, 32, 1, c.format, bytes.data());
    ASSERT_NE(texture, nullptr);
    m_device->SetTexture(0, texture);
    m_device->Clear(D3DCLEAR_TARGET, kBlack, 0.0f);
    DrawQuad(0, 0, 32, 32, 0xFFFFFFFFu);
    EXPECT_TRUE(RGBNear(At(PresentAndRead(), 16, 16), c.expected));
    O2DLockedRect rect;
    ASSERT_TRUE(texture->LockRect(0, rect));
    uint32_t first = 0, last = 0;
    std::memcpy(&first, rect.Bits, bpp);
    std::memcpy(&last, static_cast<uint8_t*>(rect.Bits) + 31 * rect.Pitch + 31 * bpp, bpp);
    EXPECT_EQ(std::pair(first, last), std::pair(c.locked, c.locked));
    EXPECT_TRUE(texture->UnlockRect(0));
    texture->Release();
  }
  // Rows of an odd number of 16-bit texels come back packed, and a texture made
  // without pixels starts zeroed.
  const std::vector<uint16_t> odd = {1, 2, 3, 4, 5, 6};
  for (const void* pixels : {static_cast<const void*>(odd.data()), static_cast<const void*>(nullptr)}) {
    IO2DTexture* texture = m_device->CreateTexture(3, 2, 1, D3DFMT_R5G6B5, pixels);
    ASSERT_NE(texture, nullptr);
    O2DLockedRect rect;
    ASSERT_TRUE(texture->LockRect(0, rect));
    ASSERT_EQ(rect.Pitch, 6);
    const auto* texels = static_cast<const uint16_t*>(rect.Bits);
    EXPECT_EQ(std::vector<uint16_t>(texels, texels + 6), pixels ? odd : std::vector<uint16_t>(6, 0));
    texture->UnlockRect(0);
    texture->Release();
  }
}

TEST_F(GLDeviceTest, BufferAndDrawRangesAreChecked) {
  const uint16_t tooFar[3] = {0, 1, uint16_t(O2D_VERTEX_BUFFER_VERTICES)};
  EXPECT_FALSE(m_device->UploadIndices(tooFar, 3));
  ASSERT_NE(m_device->LockVertexBuffer(), nullptr);
  EXPECT_EQ(m_device->LockVertexBuffer(), nullptr);
  EXPECT_FALSE(m_device->DrawIndexedTriangleList(0, 4, 0, 2));  // still locked
  ASSERT_TRUE(m_device->UnlockVertexBuffer());
  EXPECT_FALSE(m_device->UnlockVertexBuffer());
  EXPECT_FALSE(m_device->DrawIndexedTriangleList(0, 4, 0, 1001));
  EXPECT_FALSE(m_device->DrawIndexedTriangleList(0, 2001, 0, 2));
  EXPECT_TRUE(m_device->DrawIndexedTriangleList(0, 2000, 0, 1000));
  EXPECT_EQ(m_device->CreateTexture(0, 32, 1, D3DFMT_A8R8G8B8), nullptr);
  EXPECT_EQ(m_device->CreateTexture(32, 32, 1, D3DFMT_A8R3G3B2), nullptr);
  EXPECT_EQ(m_device->CreateTexture(32, 32, 7, D3DFMT_A8R8G8B8), nullptr);
}

TEST_F(GLDeviceTest, ReleasedTextureLeavesItsStageSamplingWhite) {
  IO2DTexture* texture = m_device->CreateTexture(32, 32, 1, D3DFMT_X8R8G8B8);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(m_device->AddRef(), 3u);  // ours, the texture's, this one
  EXPECT_EQ(m_device->Release(), 2u);
  ASSERT_TRUE(texture->WriteLevel(0, std::vector<uint32_t>(32 * 32, 0xFFFF0000u).data()));
  m_device->SetTexture(0, texture);
  m_device->Clear(D3DCLEAR_TARGET, kBlack, 0.0f);
  DrawQuad(0, 0, 8, 8, 0xFFFFFF00u);
  EXPECT_EQ(At(PresentAndRead(), 4, 4), 0xFFFF0000u);  // red x yellow
  EXPECT_EQ(texture->Release(), 0u);
  DrawQuad(0, 0, 8, 8, 0xFFFFFF00u);
  EXPECT_EQ(At(PresentAndRead(), 4, 4), 0xFFFFFF00u);  // white x yellow
}

TEST_F(GLDeviceTest, MinimisedWindowIsLostAndItsRestoreNeedsAReset) {
  auto windowEvent = [&](SDL_WindowEventID what) {
    PushWindowEvent(SDL_GetWindowID(m_window), what);
    SDL_FlushEvent(SDL_WINDOWEVENT);
  };
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
  windowEvent(SDL_WINDOWEVENT_MINIMIZED);
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICELOST);
  EXPECT_FALSE(m_device->Reset(m_params));
  windowEvent(SDL_WINDOWEVENT_RESTORED);
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

  // Blending that hides everything does not survive the reset.
  m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
  m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  ASSERT_TRUE(m_device->Reset(m_params));
  EXPECT_EQ(m_device->TestCooperativeLevel(), D3D_OK);
  m_device->Clear(D3DCLEAR_TARGET, kBlack, 0.0f);
  DrawQuad(0, 0, 8, 8, 0xFF00FF00u);
  EXPECT_EQ(At(PresentAndRead(), 4, 4), 0xFF00FF00u);
}

// The window keeps a size other than the one SDL was last told (here the offscreen
// surface keeps its first 1000 x 600, as a window without a window manager keeps
// 800 x 600 when asked for the desktop): the frame is letter-boxed into the real
// size, and the mouse is mapped back with the same.
TEST_F(GLDeviceTest, FrameAndMouseFollowTheSizeTheWindowReallyHas) {
  ASSERT_EQ(m_device->Release(), 0u);
  SDL_DestroyWindow(m_window);
  m_window = SDL_CreateWindow("test", 0, 0, 1000, 600, SDL_WINDOW_OPENGL);
  ASSERT_NE(m_window, nullptr) << SDL_GetError();
  m_params.Window = O2D_FromSDLWindow(m_window);
  m_device = m_adapter->CreateDevice(m_params);
  ASSERT_NE(m_device, nullptr) << m_adapter->LastError();
  SDL_SetWindowSize(m_window, 800, 600);
  int asked = 0, unused = 0;
  SDL_GL_GetDrawableSize(m_window, &asked, &unused);
  ASSERT_EQ(asked, 800);

  m_device->Clear(D3DCLEAR_TARGET, 0xFF0000FFu, 0.0f);
  m_device->SetViewport({0, 0, 4, 4, 0.0f, 1.0f});
  m_device->Clear(D3DCLEAR_TARGET, 0xFFFF0000u, 0.0f);
  m_device->Present();
  // The left bar, the frame's first pixel, its red corner's last, the blue beyond it, its last pixel, the right bar.
  const std::tuple<int, int, uint32_t> window[] = {{0, 0, kBlack},          {99, 599, kBlack},       {100, 0, 0xFFFF0000u},
                                                   {103, 3, 0xFFFF0000u}, {104, 4, 0xFF0000FFu}, {899, 599, 0xFF0000FFu},
                                                   {900, 0, kBlack}};
  for (auto [x, y, colour] : window) EXPECT_EQ(WindowAt(x, y), colour) << x << "," << y;

  auto input = O2D_CreateInputDevices(m_params.Window, 800, 600, nullptr);
  ASSERT_NE(input, nullptr);
  SDLMouse mouse;
  mouse.window = SDL_GetWindowID(m_window);
  mouse.MoveTo(105, 7);
  const O2DCursor cursor = input->GetCursor();
  EXPECT_EQ(std::pair(cursor.x, cursor.y), std::pair(5, 7));
  mouse.MoveTo(50, 7);
  EXPECT_LT(input->GetCursor().x, 0);  // on the bar, left of the frame
}

// A paced device skips a frame that makes the same calls as the last one: texels
// changed under the same calls, between frames or in the middle of one, still show,
// and the front frame stays readable.
TEST_F(GLDeviceTest, SameCallsOverChangedTexelsStillShowTheNewTexels) {
  UsePacedDevice();
  IO2DTexture* texture = m_device->CreateTexture(8, 8, 1, D3DFMT_X8R8G8B8);
  ASSERT_NE(texture, nullptr);
  auto fill = [&](uint32_t colour) { ASSERT_TRUE(texture->WriteLevel(0, std::vector<uint32_t>(64, colour).data())); };
  uint32_t shown = kBlack;  // at (24, 4) in the frame presented last
  auto frame = [&](uint32_t midFrameColour) {
    m_device->SetTexture(0, texture);
    m_device->Clear(D3DCLEAR_TARGET, kBlack, 0.0f);
    DrawQuad(0, 0, 8, 8, 0xFFFFFFFFu);
    if (midFrameColour != 0) fill(midFrameColour);
    // Calls carried out early (here, or after a change before the frame's first
    // call) draw the next frame; the front stays the one presented.
    O2DFrameImage front;
    EXPECT_TRUE(m_device->GetFrontBufferData(front));
    EXPECT_EQ(At(front, 24, 4), shown);
    DrawQuad(20, 0, 8, 8, 0xFFFFFFFFu);
    const O2DFrameImage image = PresentAndRead();
    shown = At(image, 24, 4);
    return image;
  };
  for (uint32_t colour : {0xFF00FF00u, 0xFF00FF00u, 0xFF0000FFu, 0xFF0000FFu}) {
    fill(colour);
    const O2DFrameImage image = frame(0);
    EXPECT_EQ(At(image, 4, 4), colour);
    EXPECT_EQ(At(image, 24, 4), colour);
    EXPECT_EQ(At(image, 12, 4), kBlack);
  }
  const O2DFrameImage image = frame(0xFFFF0000u);
  EXPECT_EQ(At(image, 4, 4), 0xFF0000FFu);  // drawn before the change
  EXPECT_EQ(At(image, 24, 4), 0xFFFF0000u);
  EXPECT_EQ(At(frame(0), 4, 4), 0xFFFF0000u);
  texture->Release();
}

}  // namespace
