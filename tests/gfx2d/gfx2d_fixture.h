#pragma once
// Engines for the 2D tests: resources plus graphics on the recording device, or
// graphics on the real OpenGL device for pixel tests (800 x 600, display mode 2).
#include <filesystem>
#include <string>
#include <vector>

#include "gl_engine.h"
#include "costrak_xml.h"
#include "o2d_recording_device.h"
#include "raised.h"

// A top-down 32-bit bitmap of A8R8G8B8 pixels.
inline std::string Bitmap32(uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels) {
  std::string b(54 + pixels.size() * 4, '\0');
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
  };
  b[0] = 'B', b[1] = 'M';
  put(10, 54), put(14, 40), put(18, width), put(22, uint32_t(-int32_t(height))), put(26, 1 | 32 << 16);
  for (size_t i = 0; i < pixels.size(); ++i) put(54 + 4 * i, pixels[i]);
  return b;
}

// Cell size 20; every advance 10 but "W" 14.5, space 6.7 and tab 9.5 (`skipWidth`
// left out); colour 2 is (1, 0.5, 0), colour 9 (0, 0, 1).
inline std::string FontXML(const std::string& id, const std::string& texture, const std::string& technique,
                           const std::string& pack, int skipWidth = -1) {
  std::string xml = "<fontdesc id=\"" + id + "\" textureid=\"" + texture + "\" techniqueid=\"" + technique +
                    "\" techpackid=\"" + pack + "\" cellsize=\"20\" color2r=\"1\" color2g=\"0.5\" color9b=\"1\"";
  for (int c = 0; c < 256; ++c)
    if (c != skipWidth)
      xml += " cs" + std::to_string(c) + "=\"" + (c == 87 ? "14.5" : c == 32 ? "6.7" : c == 9 ? "9.5" : "10") + "\"";
  return xml + "/>";
}

// A techniques pack of the given children, loaded.
inline int32_t Techniques(COstrak& engine, const std::string& children) {
  const std::string pack = "<techniquespack>" + children + "</techniquespack>";
  return engine.LoadTechniquesPack(pack.data(), uint32_t(pack.size()));
}

class Gfx2DTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    KeepGLDriverLoaded();
    std::filesystem::create_directory("DATA");
    O2D_SetXMLEncryptMode(false);
  }
  void TearDown() override {
    if (m_engine) m_engine->Cleanup();
    m_engine.reset();
    O2D_SetXMLEncryptMode(false);
    TempDirTest::TearDown();
  }
  // Resources from a descriptor of `entries`, then graphics.
  void Start(const std::string& entries = "", O2DRecordingScript script = {}) {
    if (!entries.empty()) WriteFileBytes("DATA/res.xml", "<respack>" + entries + "</respack>");
    m_engine = std::make_unique<COstrak>();
    m_engine->ResInit();
    PreInit(std::move(script));
    m_engine->GfxInit(2, false);
    m_device = m_adapter->Device();
  }
  // Graphics up to the capability report; the engine gets the adapter's only reference.
  void PreInit(O2DRecordingScript script = {}) {
    m_adapter = new CO2DRecordingAdapter(std::move(script));
    m_engine->GfxSetAdapterFactory([adapter = m_adapter](std::string&) -> IO2DRenderAdapter* { return adapter; });
    m_engine->GfxPreInit(800, 600);
  }
  size_t Draws() const { return m_device->CallsOf<O2DRecDraw>().size(); }
  const O2DRecDraw& LastDraw() const { return *m_device->CallsOf<O2DRecDraw>().back(); }

  std::unique_ptr<COstrak> m_engine;
  CO2DRecordingAdapter* m_adapter = nullptr;
  CO2DRecordingDevice* m_device = nullptr;
};

class Gfx2DPixelTest : public GLEngineTest {
 protected:
  // A8R8G8B8 (format slot 3 of display mode 2), one level.
  void Texture(const char* id, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels) {
    const std::string bmp = Bitmap32(width, height, pixels);
    m_engine->LoadTexture(bmp.data(), uint32_t(bmp.size()), 3, id, 1, 0, 0);
  }
  void Quad(float x, float y, float w, float h, float z = 0.5f) {
    m_engine->VQuadSetPos(x, y, w, h, z);
    m_engine->SceneRender();
  }
};
