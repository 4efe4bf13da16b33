#pragma once
// The GUI inside a whole engine as the game runs it: resources from a
// descriptor, the real OpenGL device (offscreen), input from real SDL events,
// sound mixed offline, scripts, then the GUI manager. Frames run on a clock the
// test advances, with the game's order: update walk, scene, draw walk.
#include <memory>
#include <string>
#include <vector>

#include "audio_generators.h"
#include "costrak_xml.h"
#include "gl_engine.h"
#include "o2d_audio.h"
#include "o2d_clock.h"
#include "o2dgui_cguielement_main.h"
#include "o2dgui_costrakgui_main.h"
#include "raised.h"

class GUITest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    setenv("OSTRAK2D_WINDOWED", "1", 1);
    KeepGLDriverLoaded();
    std::filesystem::create_directory("DATA");
    O2D_SetXMLEncryptMode(false);
    s_clockMs = 1000;
    O2D_SetClock([] { return s_clockMs; });
  }
  void TearDown() override {
    m_gui.reset();
    if (m_engine) m_engine->Cleanup();
    m_engine.reset();
    O2D_SetClock(nullptr);
    O2D_SetXMLEncryptMode(false);
    unsetenv("OSTRAK2D_WINDOWED");
    TempDirTest::TearDown();
  }

  // The descriptor's entries become the resources; the window gets the focus.
  void Start(const std::string& entries = "") {
    if (!entries.empty()) WriteFileBytes("DATA/res.xml", "<respack>" + entries + "</respack>");
    m_engine = std::make_unique<COstrak>();
    m_engine->ResInit();
    m_engine->GfxPreInit(800, 600);
    m_engine->GfxInit(2, false);
    m_window = SDL_GetWindowID(O2D_ToSDLWindow(m_engine->GetWindow().GetHandle()));
    m_mouse.window = m_window;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    m_engine->InitInputSubsystem();
    m_engine->SoundSelectDevice(O2DAUDIO_DEVICE_RENDER);
    m_engine->SoundInit(44100);
    m_engine->ScrInit();
    m_gui = std::make_unique<COstrakGUI>();
    PushWindowEvent(m_window, SDL_WINDOWEVENT_FOCUS_GAINED);
    Frame(0.0f);
  }

  // GUI data from text, as its resource loader reads it.
  void Load(const std::string& xml) {
    CXMLDocument doc;
    doc.LoadFromBuffer(xml.data(), int32_t(xml.size()), 0);
    doc.Parse();
    m_gui->LoadGUIData(doc);
  }
  void Lua(const std::string& text) { m_engine->LoadScriptFromBuffer(text.data(), uint32_t(text.size()), "TEST"); }

  // One frame of `seconds` (the engine keeps deltas within 1 .. 300 ms).
  void Frame(float seconds = 0.016f) {
    s_clockMs += uint32_t(seconds * 1000.0f + 0.5f);
    ASSERT_EQ(m_engine->UpdateAllSystems(), 1);
    m_gui->Update();
    m_engine->SceneBegin();
    m_engine->SceneClearScreen(0.0f, 0.0f, 0.0f);
    m_gui->Draw();
    m_engine->SceneEnd();
    m_engine->ScenePresent();
  }
  void Frames(int count, float seconds = 0.016f) {
    for (int i = 0; i < count; ++i) Frame(seconds);
  }
  // The frame last presented.
  O2DFrameImage Read() {
    O2DFrameImage frame;
    EXPECT_TRUE(m_engine->GfxGetDevice()->GetFrontBufferData(frame));
    return frame;
  }
  static uint32_t At(const O2DFrameImage& frame, uint32_t x, uint32_t y) { return frame.Pixels[y * frame.Width + x]; }

  // Real window-system events, seen by the next frame.
  void MoveTo(int x, int y) { m_mouse.MoveTo(x, y); }
  void Button(Uint8 button, bool down) { m_mouse.Button(button, down); }
  void Key(SDL_Scancode key, bool down) { PushKey(m_window, key, down); }
  void Wheel(int y) { m_mouse.Wheel(y); }
  // A left click at (x, y): moved there, pressed for one frame, released in the next.
  void Click(int x, int y) {
    MoveTo(x, y);
    Button(SDL_BUTTON_LEFT, true);
    Frame();
    Button(SDL_BUTTON_LEFT, false);
    Frame();
  }

  CGUIElement* Element(const std::string& id) const { return m_gui->GetElement(m_gui->GetElementIndex(id)); }
  CGUIValue Param(const std::string& id, const std::string& param) {
    CGUIValue value;
    m_gui->GetElementParam(id, param, value);
    return value;
  }

  inline static uint32_t s_clockMs = 0;
  std::unique_ptr<COstrak> m_engine;
  std::unique_ptr<COstrakGUI> m_gui;
  Uint32 m_window = 0;
  SDLMouse m_mouse;
};

// Native actions record their calls (with the action arguments they saw) here.
inline std::vector<std::string>& ActionCalls() {
  static std::vector<std::string> calls;
  return calls;
}
