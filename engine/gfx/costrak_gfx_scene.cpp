// The per-frame scene: begin, clear, render the current quad, end, present; the
// viewport, the gamma ramp and screenshots.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "costrak.h"
#include "costrak_gfx_state.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_SCENE;

namespace {

void RequireDevice(const IO2DRenderDevice* device) {
  if (!device) EHS_RAISE(EHS_GENERAL, 0, "D3DDevice object was not created!");
}

void Put16(uint8_t* at, uint32_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

}  // namespace

void COstrak::SceneBegin() {
  EHS_CP();
  RequireDevice(m_gfx->pDevice);
  m_gfx->pDevice->BeginScene();
  BatchOpen();
}

void COstrak::SceneEnd() {
  EHS_CP();
  RequireDevice(m_gfx->pDevice);
  BatchClose();
  m_gfx->pDevice->EndScene();
}

void COstrak::SceneClearScreen(float r, float g, float b) {
  EHS_CP();
  RequireDevice(m_gfx->pDevice);
  m_gfx->pDevice->Clear(D3DCLEAR_TARGET, PackColor(r, g, b, 1.0f), 0.0f);
}

void COstrak::ScenePresent() {
  EHS_CP();
  // Without a device there is nothing to show; the same record as the other scene operations.
  RequireDevice(m_gfx->pDevice);
  m_gfx->pDevice->Present();
}

void COstrak::SceneRender() {
  EHS_CP();
  LightQuad();
  BatchAddQuad();
}

void COstrak::SceneSetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
  EHS_CP();
  RequireDevice(m_gfx->pDevice);
  // 64-bit so that no sum of two coordinates can overflow.
  int64_t vx = x, vy = y, vw = width, vh = height;
  if (vx < 0) {
    vw += vx;
    vx = 0;
  }
  if (vy < 0) {
    vh += vy;
    vy = 0;
  }
  if (vx + vw > m_gfx->iScreenWidth) vw = m_gfx->iScreenWidth - vx;
  if (vy + vh > m_gfx->iScreenHeight) vh = m_gfx->iScreenHeight - vy;
  if (vw < 0) vw = 0;
  if (vh < 0) vh = 0;
  // What was queued so far belongs to the old viewport.
  BatchFlush();
  O2DViewport viewport;
  viewport.X = static_cast<uint32_t>(vx);
  viewport.Y = static_cast<uint32_t>(vy);
  viewport.Width = static_cast<uint32_t>(vw);
  viewport.Height = static_cast<uint32_t>(vh);
  viewport.MinZ = 0.0f;
  viewport.MaxZ = 1.0f;
  m_gfx->pDevice->SetViewport(viewport);
}

// A quadratic curve from low to high through a control point that the contrast
// moves between the middle and the top; the same ramp for red, green and blue.
// The curve is evaluated in double precision so that gamma 1.0 with contrast 0.0
// gives the exactly linear ramp i * 257.
void COstrak::SceneSetGamma(float gamma, float contrast) {
  EHS_CP();
  RequireDevice(m_gfx->pDevice);
  float low = 0.0f, high = 1.0f;
  if (gamma > 1.0f) low = std::min(gamma - 1.0f, 1.0f);
  if (gamma < 1.0f) high = std::max(gamma, 0.0f);
  const double mid = low + (double(high) - low) * 0.5;
  const double control = mid + (high - mid) * contrast;
  O2DGammaRamp ramp;
  for (int i = 0; i < 256; ++i) {
    const double t = float(i) * (1.0f / 255.0f);
    double value = (1.0 - t) * (1.0 - t) * low + 2.0 * t * (1.0 - t) * control + t * t * high;
    // Also catches a NaN from a NaN argument.
    if (!(value >= 0.0)) value = 0.0;
    if (value > 1.0) value = 1.0;
    ramp.Red[i] = ramp.Green[i] = ramp.Blue[i] = static_cast<uint16_t>(value * 65535.0);
  }
  m_gfx->pDevice->SetGammaRamp(m_gfx->caps.bGammaCalibration ? D3DSGR_CALIBRATE : D3DSGR_NO_CALIBRATION, ramp);
}

// One past the highest "screenshot<N>.bmp" of this run and of the working
// directory, so that a new run never overwrites the player's earlier shots.
int32_t COstrak::ScreenshotNextNumber() const {
  EHS_CP();
  // Computed in 64 bits: the counter may already stand at the largest number.
  int64_t highest = m_gfx->iScreenshotCounter;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(".", ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    constexpr std::string_view kPrefix = "screenshot", kSuffix = ".bmp";
    if (name.size() <= kPrefix.size() + kSuffix.size() || !name.starts_with(kPrefix) || !name.ends_with(kSuffix))
      continue;
    const char* first = name.data() + kPrefix.size();
    const char* last = name.data() + name.size() - kSuffix.size();
    int32_t number = 0;
    const auto [ptr, err] = std::from_chars(first, last, number);
    // Only plain decimal numbers that leave room for the next one count.
    if (err != std::errc() || ptr != last || *first == '-' || *first == '+') continue;
    highest = std::max<int64_t>(highest, number);
  }
  // Past the largest number the last one is used again.
  return static_cast<int32_t>(std::min<int64_t>(highest + 1, INT32_MAX));
}

void COstrak::SceneMakeScreenshot() {
  EHS_CP();
  RequireDevice(m_gfx->pDevice);
  if (m_gfx->bWindowed) {
    LOG_AddEmptyLines(1);
    LOG_AddEntry("Cannot make a screenshot in windowed mode!", 5);
    LOG_AddEmptyLines(1);
    return;
  }
  m_gfx->iScreenshotCounter = ScreenshotNextNumber();

  // A 32-bit image of the back-buffer size receives the front buffer; its
  // pixels are used only when the copy is whole.
  O2DFrameImage frame;
  try {
    frame.Pixels.reserve(size_t(m_gfx->PresentParams.BackBufferWidth) * m_gfx->PresentParams.BackBufferHeight);
  } catch (const std::exception&) {
    EHS_RAISE(EHS_GENERAL, 0, "Cannot create surface!");
  }
  if (!m_gfx->pDevice->GetFrontBufferData(frame)) EHS_RAISE(EHS_GENERAL, 0, "Cannot get front buffer!");
  if (frame.Width == 0 || frame.Height == 0 || frame.Pixels.size() != size_t(frame.Width) * frame.Height)
    EHS_RAISE(EHS_GENERAL, 0, "Cannot lock surface!");

  // 24-bit rows, bottom row first, each padded to a multiple of four bytes.
  const size_t rowSize = (size_t(frame.Width) * 3 + 3) & ~size_t(3);
  const size_t imageSize = rowSize * frame.Height;
  std::vector<uint8_t> file;
  try {
    file.assign(54 + imageSize, 0);
  } catch (const std::bad_alloc&) {
    file.clear();
  }
  EHS_ASSERT(!file.empty());
  uint8_t* header = file.data();
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, uint32_t(imageSize + 54));
  Put32(header + 10, 54);
  Put32(header + 14, 40);
  Put32(header + 18, frame.Width);
  Put32(header + 22, frame.Height);
  Put16(header + 26, 1);
  Put16(header + 28, 24);
  Put32(header + 34, uint32_t(imageSize));
  for (uint32_t row = 0; row < frame.Height; ++row) {
    const uint32_t* src = frame.Pixels.data() + size_t(frame.Height - 1 - row) * frame.Width;
    uint8_t* dst = file.data() + 54 + row * rowSize;
    for (uint32_t x = 0; x < frame.Width; ++x) {
      dst[3 * x + 0] = uint8_t(src[x]);        // blue
      dst[3 * x + 1] = uint8_t(src[x] >> 8);   // green
      dst[3 * x + 2] = uint8_t(src[x] >> 16);  // red
    }
  }

  const std::string name = "screenshot" + std::to_string(m_gfx->iScreenshotCounter) + ".bmp";
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
  out.close();
  LOG_AddEmptyLines(1);
  // A file that could not be written is not reported as saved.
  if (out.good())
    LOG_AddEntry("Screenshot saved.", 4);
  else
    LOG_AddEntry("Failed.", 5);
  LOG_AddEmptyLines(1);
}
