#pragma once
// The GUI inside a whole engine as the game runs it: resources from a
// descriptor, the real OpenGL device (offscreen), input from real SDL events,
// sound mixed offline, scripts, then the GUI manager. Frames run on a clock the
// test advances, with the game's order: update walk, scene, draw walk.
#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../gfx2d/gfx2d_fixture.h"
#include "audio_generators.h"
#include "costrak_xml.h"
#include "gl_engine.h"
#include "o2d_audio.h"
#include "o2d_clock.h"
#include "o2dgui_cguielement_main.h"
#include "o2dgui_costrakgui_main.h"
#include "raised.h"

using Strings = std::vector<std::string>;

// Native actions record their calls here: the name, then every number of every
// argument they were given (a boolean as 0 or 1, a point or rectangle in full).
inline Strings g_actionCalls;
inline void Record(std::string call) {
  for (const CGUIValue& a : COstrakGUI::GetInstance()->GetActionArgs()) {
    std::vector<float> numbers{a.GetType() == GUIVT_BOOLEAN ? float(a.GetBool()) : 0.0f};
    if (a.GetType() == GUIVT_FLOAT) numbers = {a.GetFloat()};
    if (a.GetType() == GUIVT_POINT) numbers = {a.GetPoint().x, a.GetPoint().y};
    if (a.GetType() == GUIVT_RECT) numbers = {a.GetRect().x, a.GetRect().y, a.GetRect().width, a.GetRect().height};
    for (float n : numbers) {
      char number[24];
      std::snprintf(number, sizeof number, " %g", double(n));
      call += number;
    }
  }
  g_actionCalls.push_back(std::move(call));
}
inline CGUIValue Param(const std::string& id, const std::string& param) {
  CGUIValue value;
  COstrakGUI::GetInstance()->GetElementParam(id, param, value);
  return value;
}
inline float Number(const std::string& id, const std::string& param) { return Param(id, param).GetFloat(); }
// Native actions are plain functions: slot I records the I-th name registered.
inline std::array<std::string, 8> g_recordedNames;
template <size_t I>
void RecordSlot() {
  Record(g_recordedNames[I]);
}
template <size_t... I>
constexpr std::array<void (*)(), sizeof...(I)> RecordSlots(std::index_sequence<I...>) {
  return {&RecordSlot<I>...};
}

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
    g_actionCalls.clear();
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
    GUITest::Frame(0.0f);  // the GUI's own frame: a game is not started yet
  }

  // GUI data from text, as its resource loader reads it.
  void Load(const std::string& xml) {
    CXMLDocument doc;
    doc.LoadFromBuffer(xml.data(), int32_t(xml.size()), 0);
    doc.Parse();
    m_gui->LoadGUIData(doc);
  }
  void Lua(const std::string& text) { m_engine->LoadScriptFromBuffer(text.data(), uint32_t(text.size()), "TEST"); }

  // One frame of `seconds` (the engine keeps deltas within 1 .. 300 ms); a game's
  // test runs the game's own frame instead.
  virtual void Frame(float seconds = 0.016f) {
    s_clockMs += uint32_t(seconds * 1000.0f + 0.5f);
    ASSERT_EQ(m_engine->UpdateAllSystems(), 1);
    m_gui->Update();
    m_engine->SceneBegin();
    m_engine->SceneClearScreen(0.0f, 0.0f, 0.0f);
    m_gui->Draw();
    m_engine->SceneEnd();
    m_engine->ScenePresent();
  }
  void Frames(int count, float seconds = 0.016f) { for (int i = 0; i < count; ++i) Frame(seconds); }
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
  // A click at (x, y): moved there, pressed for one frame, released in the next.
  void Click(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
    MoveTo(x, y);
    Button(button, true), Frame(), Button(button, false), Frame();
  }
  // A key pressed for one frame and released in the next.
  void Tap(SDL_Scancode key) { Key(key, true), Frame(), Key(key, false), Frame(); }

  // Native actions of these names that record their calls.
  void Recording(std::initializer_list<const char*> names) {
    static constexpr auto slots = RecordSlots(std::make_index_sequence<std::tuple_size_v<decltype(g_recordedNames)>>());
    size_t i = 0;
    for (const char* name : names) {
      g_recordedNames.at(i) = name;
      m_gui->RegisterAction(name, slots[i++]);
    }
  }
  // Takes the recorded calls, leaving none.
  static Strings Calls() { return std::exchange(g_actionCalls, {}); }
  static size_t Count(const std::string& call) { return size_t(std::ranges::count(g_actionCalls, call)); }

  // One-texel textures in DATA, as descriptor entries.
  static std::string SolidTextures(std::initializer_list<std::pair<const char*, uint32_t>> textures) {
    std::string entries;
    for (auto [id, colour] : textures) {
      WriteFileBytes(std::string("DATA/") + id + ".bmp", Bitmap32(1, 1, {colour}));
      entries += Res(id, std::string(id) + ".bmp", "TEXTURE");
    }
    return entries;
  }

  CGUIElement* Element(const std::string& id) const { return m_gui->GetElement(m_gui->GetElementIndex(id)); }

  inline static uint32_t s_clockMs = 0;
  std::unique_ptr<COstrak> m_engine;
  std::unique_ptr<COstrakGUI> m_gui;
  Uint32 m_window = 0;
  SDLMouse m_mouse;
};

// Tiles with one-colour textures FRAME0..3 (also the frames of ENUM_FRAMES) and
// SLICES, an 8 x 8 texture whose 2-texel borders and 4-texel middle carry nine colours.
inline uint32_t SliceColour(int row, int col) { return 0xFF000040u | uint32_t(40 + 90 * row) << 16 | uint32_t(40 + 90 * col) << 8; }
inline uint32_t FrameColour(int i) { return std::array{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u}[size_t(i)]; }
class TilesTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    std::vector<uint32_t> slices;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) slices.push_back(SliceColour(y < 2 ? 0 : y < 6 ? 1 : 2, x < 2 ? 0 : x < 6 ? 1 : 2));
    WriteFileBytes("DATA/slices.bmp", Bitmap32(8, 8, slices));
    WriteFileBytes("DATA/frames.enm", "<guienum a=\"FRAME0\" b=\"FRAME1\" c=\"FRAME2\" d=\"FRAME3\"/>");
    Start(SolidTextures({{"FRAME0", FrameColour(0)}, {"FRAME1", FrameColour(1)}, {"FRAME2", FrameColour(2)},
                         {"FRAME3", FrameColour(3)}}) +
          Res("SLICES", "slices.bmp", "TEXTURE") + Res("ENUM_FRAMES", "frames.enm", "GUIENUMDATA"));
    Recording({"OnGotFocus", "OnLostFocus", "OnClick", "OnHotKey", "OnShow", "OnHide"});
  }
};

// Lists and timers with one-texel textures TEX_RED, TEX_GREEN, TEX_BLUE and TEX_GREY.
constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kGrey = 0xFF808080u;
class GUIListsTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    Start(SolidTextures({{"TEX_RED", kRed}, {"TEX_GREEN", kGreen}, {"TEX_BLUE", kBlue}, {"TEX_GREY", kGrey}}));
  }
};

// Buttons, labels and text boxes with a white font ("FNT_A": every glyph a solid
// cell of 20 pixels, advances of 10, "W" 14.5 and space 6.7), textures TEX_N
// (grey), TEX_S (green) and TEX_D (blue), and recording actions click, press,
// hold, input, check and uncheck.
class ControlsTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    WriteFileBytes("DATA/font.bmp", Bitmap32(16, 16, std::vector<uint32_t>(256, 0xFFFFFFFFu)));
    // Texture times vertex colour, opaque.
    WriteFileBytes("DATA/teq.pack",
                   "<techniquespack><t id=\"TEQ_FONT\" alphablending=\"OFF\" s0_colorop=\"MODULATE\" "
                   "s0_colorarg1=\"TEXTURE\" s0_colorarg2=\"DIFFUSE\" s0_alphaop=\"SELECTARG1\" "
                   "s0_alphaarg1=\"DIFFUSE\" s1_colorop=\"DISABLE\"/></techniquespack>");
    WriteFileBytes("DATA/a.fnt", FontXML("FNT_A", "TEX_FONT", "TEQ_FONT", "TEQ_PACK"));
    Start(Res("TEX_FONT", "font.bmp", "TEXTURE") + Res("TEQ_PACK", "teq.pack", "TECHNIQUE") +
          Res("FNT_A", "a.fnt", "FONT") +
          SolidTextures({{"TEX_N", 0xFF404040u}, {"TEX_S", 0xFF00FF00u}, {"TEX_D", 0xFF0000FFu}}));
    Recording({"click", "press", "hold", "input", "check", "uncheck"});
  }
  static bool Lit(uint32_t pixel) { return (pixel & 0xFFFFFFu) != 0; }
};
