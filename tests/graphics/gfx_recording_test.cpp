// The engine's graphics code against the recording device: the capability
// report, start and stop, the batch, the viewport, screenshots and the
// lost-device path.
#include <cstring>
#include <tuple>

#include "../gfx2d/gfx2d_fixture.h"

namespace {

// Graphics without resources: the tests pre-initialise and start it themselves.
class GfxRecordingTest : public Gfx2DTest {
 protected:
  void SetUp() override {
    Gfx2DTest::SetUp();
    m_engine = std::make_unique<COstrak>();
  }
  VideoCaps Caps() const {
    VideoCaps caps;
    m_engine->GfxGetCaps(caps);
    return caps;
  }
  void RenderQuadAt(float x) { m_engine->VQuadSetPos(x, 0, 1, 1), m_engine->SceneRender(); }
};

TEST_F(GfxRecordingTest, CapabilityReportOfAnAdapterWith800x600OnlyAt32Bits) {
  O2DRecordingScript script;
  script.Identifier = {"Scripted Adapter", 0x10DE, 0xFFFFFFFFu};
  script.DesktopMode = {800, 600, 60, D3DFMT_X8R8G8B8};
  script.Modes = {{640, 480, 60, D3DFMT_R5G6B5}, {800, 600, 75, D3DFMT_X8R8G8B8}, {800, 600, 60, D3DFMT_A8R8G8B8}};
  PreInit(script);

  const VideoCaps caps = Caps();
  // No 16-bit mode; the first 800 x 600 match wins for mode 2, mode 3 has the desktop's rate.
  EXPECT_EQ(std::tuple(caps.DisplayMode1.bValid, caps.DisplayMode2.bValid, caps.DisplayMode3.bValid,
                       caps.DisplayMode2.RefreshRate, caps.DisplayMode3.RefreshRate),
            std::tuple(false, true, true, 75u, 60u));
  // Not windowed: the window would fill the desktop.
  EXPECT_EQ(std::pair(caps.bCanRenderWindowed, caps.iRating), std::pair(false, 5));
  // The device ID is reported as the signed value it was read as.
  EXPECT_TRUE(LogHas("     Videocard: Scripted Adapter\n       VendorID: 4318\n       DeviceID: -1\n"));
  EXPECT_EQ(Raised([&] { m_engine->GfxInit(3, true); }), "2 0: Cannot switch to windowed rendering.");
}

TEST_F(GfxRecordingTest, TextureFormatChainsAndCapsBeforePreInit) {
  VideoCaps none;
  EXPECT_EQ(Raised([&] { m_engine->GfxGetCaps(none); }),
            "2 0: Cannot provide videocard caps - GFX system was not initialized!");

  // Only 16-bit textures: the fourth chain overwrites slot 03 and leaves 04 empty.
  O2DRecordingScript script;
  script.TextureFormats = {D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_X4R4G4B4, D3DFMT_A4R4G4B4};
  PreInit(script);
  const DisplayModeInfo mode1 = Caps().DisplayMode1;
  EXPECT_EQ(std::tuple(mode1.Format, mode1.TextureFormat01, mode1.TextureFormat02, mode1.TextureFormat03,
                       mode1.TextureFormat04, mode1.bValid),
            std::tuple(D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4, D3DFMT_UNKNOWN, false));
  EXPECT_TRUE(Caps().bCanRenderWindowed);  // desktop 1024 x 768
}

TEST_F(GfxRecordingTest, StartFailuresAndReferencesLeftAtShutdown) {
  m_engine->GfxSetAdapterFactory([](std::string& why) -> IO2DRenderAdapter* {
    why = "no renderer";
    return nullptr;
  });
  EXPECT_EQ(Raised([&] { m_engine->GfxPreInit(800, 600); }), "1 0: Cannot create Direct3D object!");
  EXPECT_EQ(Raised([&] { m_engine->GfxInit(2, false); }), "1 0: Direct3D object was not created!");
  EXPECT_EQ(Raised([&] { m_engine->SceneBegin(); }), "1 0: D3DDevice object was not created!");

  PreInit();
  EXPECT_EQ(Raised([&] { m_engine->GfxInit(2, true); }), "2 0: Wrong combination of display mode params.");
  EXPECT_EQ(Raised([&] { m_engine->GfxInit(4, false); }), "2 0: Wrong combination of display mode params.");
  m_adapter->Script().FailCreateDevice = true;
  EXPECT_EQ(Raised([&] { m_engine->GfxInit(2, false); }), "1 0: Cannot create D3DDevice!");
  m_adapter->Script().FailCreateDevice = false;
  m_engine->GfxInit(2, false);
  m_engine->GfxShutdown();
  EXPECT_EQ(m_engine->GetWindow().GetHandle(), nullptr);
  EXPECT_FALSE(LogHas("references left"));

  // Windowed in the desktop mode: the requested size, and no screenshots.
  PreInit();
  m_engine->GfxInit(3, true);
  int32_t width = 0, height = 0;
  m_engine->GetScreenSize(width, height);
  EXPECT_EQ(width, 800);
  m_engine->SceneMakeScreenshot();
  EXPECT_FALSE(std::filesystem::exists("screenshot1.bmp"));

  // A texture the managers do not know keeps the device, and the device its adapter.
  IO2DTexture* stray = m_engine->GfxGetDevice()->CreateTexture(4, 4, 1, D3DFMT_A8R8G8B8);
  ASSERT_NE(stray, nullptr);
  m_engine->GfxShutdown();
  const std::string log = GameLog();
  EXPECT_NE(log.find(" !: no renderer\n"), std::string::npos);
  EXPECT_NE(log.find("\n !: Cannot make a screenshot in windowed mode!\n\n"), std::string::npos);
  EXPECT_NE(log.find(" !!!: pD3Device references left!\n"), std::string::npos);
  EXPECT_NE(log.find(" !!!: pD3D references left!\n"), std::string::npos);
  EXPECT_EQ(stray->Release(), 0u);
}

TEST_F(GfxRecordingTest, The500thQuadFlushesAndThe501stStartsTheNewLock) {
  Start();
  m_device->ClearCalls();
  m_engine->SceneBegin();
  for (int i = 0; i < 501; ++i) RenderQuadAt(float(i));
  EXPECT_EQ(m_engine->BatchGetQueued(), 1);
  m_engine->SceneEnd();

  const auto draws = m_device->CallsOf<O2DRecDraw>();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(std::tuple(draws[0]->NumVertices, draws[0]->PrimitiveCount, draws[0]->Vertices[1996].x),
            std::tuple(2000u, 1000u, 499.0f - 0.5f));
  EXPECT_EQ(std::tuple(draws[1]->NumVertices, draws[1]->PrimitiveCount, draws[1]->Vertices[0].x),
            std::tuple(4u, 2u, 500.0f - 0.5f));
  EXPECT_EQ(std::pair(m_engine->BatchIsLocked(), m_device->IsVertexBufferLocked()), std::pair(false, false));
}

TEST_F(GfxRecordingTest, ViewportChangeDrawsWhatWasQueuedAndClipsToTheScreen) {
  Start();
  m_engine->SceneBegin();
  m_device->ClearCalls();
  RenderQuadAt(0);
  RenderQuadAt(1);
  m_engine->SceneSetViewport(-10, -10, 100, 100);
  RenderQuadAt(2);
  m_engine->SceneSetViewport(750, 550, 100, 100);  // nothing queued in between: no draw
  m_engine->SceneSetViewport(750, 550, 100, 100);
  m_engine->SceneEnd();

  // Draw of the two quads, the clipped viewport, the third quad's draw, then the two viewports.
  std::string order;
  for (const auto& call : m_device->Calls())
    if (const auto* draw = std::get_if<O2DRecDraw>(&call)) order += "D" + std::to_string(draw->NumVertices);
    else if (const auto* vp = std::get_if<O2DRecSetViewport>(&call))
      order += "V" + std::to_string(vp->Viewport.X) + "," + std::to_string(vp->Viewport.Width);
  EXPECT_EQ(order, "D8V0,90D4V750,50V750,50");
}

TEST_F(GfxRecordingTest, PackedColoursFogShiftAndGuardedVertexIndices) {
  Start();
  // No clamping: 2.0 gives 510 (low byte 0xFE), -1.0 gives -255 (low byte 0x01).
  EXPECT_EQ(COstrak::PackColor(2.0f, -1.0f, 0.0f, 1.0f), 0xFFFE0100u);

  m_engine->VQuadSetFog(true);  // the depth below 0 and above 1 is clamped
  m_engine->VQuadSetPosByVertex(1, 8, 0, -1.0f);
  EXPECT_EQ(m_engine->VQuadGet().Vertices[1].specular, 0x00FFFFFFu);
  m_engine->VQuadMove(0, 0, 2.0f);
  EXPECT_EQ(m_engine->VQuadGet().Vertices[1].specular, 0xFFFFFFFFu);

  const VQuad before = m_engine->VQuadGet();
  m_engine->VQuadSetPosByVertex(-1, 1, 1, 1);
  m_engine->VQuadSetColorByVertex(4, 1, 1, 1, 1);
  EXPECT_EQ(Raised([&] { m_engine->VQuadSetTexCoords(3, 0, 0, 1, 1); }),
            "2 0: Wrong texture coordinates set number: must be 1 or 2");
  EXPECT_EQ(std::memcmp(&before, &m_engine->VQuadGet(), sizeof(VQuad)), 0);

  // The same quad queued twice: the second copy half a pixel further up and left.
  m_engine->VQuadSetPos(10, 20, 4, 4);
  m_engine->SceneBegin();
  m_engine->SceneRender();
  m_engine->SceneRender();
  m_engine->SceneEnd();
  ASSERT_EQ(Draws(), 1u);
  EXPECT_EQ(std::tuple(LastDraw().Vertices[0].x, LastDraw().Vertices[4].x, LastDraw().Vertices[6].y),
            std::tuple(9.5f, 9.0f, 23.0f));
}

TEST_F(GfxRecordingTest, ScreenshotBytesAndNumberingAfterExistingFiles) {
  Start();
  // A 3 x 2 frame: rows of 9 bytes padded to 12, bottom row first.
  m_device->FrontBuffer = {3, 2, {0xFF010203u, 0xFF040506u, 0xFF070809u, 0xFF0A0B0Cu, 0xFF0D0E0Fu, 0x80101112u}};
  for (const char* name : {"screenshot1.bmp", "screenshot7.bmp", "screenshot12x.bmp", "screenshot-30.bmp",
                           "Screenshot50.bmp", "screenshot.bmp"})
    WriteFileBytes(name, "old");
  m_engine->SceneMakeScreenshot();
  m_engine->SceneMakeScreenshot();

  std::string header(54, '\0');
  const uint8_t fixed[] = {'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 3, 0, 0, 0,
                           2,   0,   0,  0, 1, 0, 24, 0, 0, 0, 0, 0, 24, 0, 0, 0};
  std::memcpy(header.data(), fixed, sizeof fixed);
  const std::string rows = std::string("\x0C\x0B\x0A\x0F\x0E\x0D\x12\x11\x10\0\0\0", 12) +
                           std::string("\x03\x02\x01\x06\x05\x04\x09\x08\x07\0\0\0", 12);
  EXPECT_EQ(ReadFileBytes("screenshot8.bmp"), header + rows);
  EXPECT_EQ(ReadFileBytes("screenshot9.bmp"), header + rows);
  EXPECT_EQ(ReadFileBytes("screenshot7.bmp"), "old");

  m_device->FrontBuffer.Pixels.pop_back();
  EXPECT_EQ(Raised([&] { m_engine->SceneMakeScreenshot(); }), "1 0: Cannot lock surface!");
  m_device->Fail.GetFrontBufferData = true;
  EXPECT_EQ(Raised([&] { m_engine->SceneMakeScreenshot(); }), "1 0: Cannot get front buffer!");
}

TEST_F(GfxRecordingTest, EachFailingBufferStepRaisesItsRecord) {
  const std::pair<bool O2DRecordingFailures::*, const char*> steps[] = {
      {&O2DRecordingFailures::CreateIndexBuffer, "1 0: Cannot create Index Buffer!"},
      {&O2DRecordingFailures::LockIndexBuffer, "1 0: Cannot lock index buffer!"},
      {&O2DRecordingFailures::UnlockIndexBuffer, "1 0: Cannot unlock index buffer!"},
      {&O2DRecordingFailures::CreateVertexBuffer, "2 0: Cannot create Vertex Buffer!"},
      {&O2DRecordingFailures::SetIndices, "1 0: Cannot process index buffer!"},
      {&O2DRecordingFailures::LockVertexBuffer, "1 0: Cannot lock vertex buffer!"},
      {&O2DRecordingFailures::SetStreamSource, "1 0: Cannot set stream source!"},
  };
  for (const auto& [step, message] : steps) {
    O2DRecordingScript script;
    script.DeviceFailures.*step = true;
    PreInit(script);
    EXPECT_EQ(Raised([&] { m_engine->GfxInit(2, false), m_engine->SceneBegin(); }), message);
    m_engine->GfxShutdown();
  }
}

TEST_F(GfxRecordingTest, LostDeviceSkipsFramesUntilTheResetRestoresTheSetUp) {
  Start();
  m_engine->SceneBegin();
  m_engine->VQuadSetPos(0, 0, 4, 4);
  m_engine->SceneRender();
  m_engine->OnFocusLost();  // the queued quad is dropped, the buffer given back
  EXPECT_EQ(std::pair(m_engine->BatchIsLocked(), m_device->IsVertexBufferLocked()), std::pair(false, false));
  m_engine->SceneEnd();
  EXPECT_TRUE(m_device->CallsOf<O2DRecDraw>().empty());

  m_engine->SceneBegin();
  m_device->SetCooperativeLevel(D3DERR_DEVICELOST);
  EXPECT_EQ(m_engine->UpdateAllSystems(), 0);
  m_device->SetCooperativeLevel(D3DERR_DEVICENOTRESET);
  m_device->Fail.Reset = true;
  EXPECT_FALSE(m_engine->GfxCheckDevice());
  m_device->Fail.Reset = false;
  m_device->SetRenderState(D3DRS_LIGHTING, 1);
  m_device->ClearCalls();
  EXPECT_TRUE(m_engine->GfxCheckDevice());
  EXPECT_EQ(std::pair(m_device->CallsOf<O2DRecReset>().size(), m_device->RenderState(D3DRS_LIGHTING)), std::pair(1ul, 0u));
  EXPECT_EQ(m_engine->UpdateAllSystems(), 1);

  // The re-created buffer takes the next frame.
  m_engine->SceneBegin();
  m_engine->SceneRender();
  m_engine->SceneEnd();
  EXPECT_EQ(m_device->CallsOf<O2DRecDraw>().size(), 1u);

  const std::string log = GameLog();
  EXPECT_NE(log.find("   +: Device is lost and currently cannot be restored.\n"
                     "   =: D3DDevice is lost. Trying to reset...\n"
                     " !: Failed.\n"
                     "   =: D3DDevice is lost. Trying to reset...\n"
                     "   +: Done.\n"),
            std::string::npos);
}

}  // namespace
