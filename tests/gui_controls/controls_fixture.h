#pragma once
// The whole engine with a white test font ("FNT_A": every glyph a solid cell of
// 20 pixels, advances of 10, "W" 14.5 and space 6.7), three one-colour textures
// (TEX_N grey, TEX_S green, TEX_D blue) and native actions that record their
// calls with the arguments they were given.
#include <algorithm>
#include <string>

#include "../gfx2d/gfx2d_fixture.h"
#include "gui_fixture.h"

template <const char* Name>
void RecordCall() {
  std::string call = Name;
  for (const CGUIValue& arg : COstrakGUI::GetInstance()->GetActionArgs())
    call += " " + std::to_string(static_cast<int>(arg.GetFloat()));
  ActionCalls().push_back(call);
}

inline constexpr char kClick[] = "click", kPress[] = "press", kHold[] = "hold", kInput[] = "input",
                      kCheck[] = "check", kUncheck[] = "uncheck";

// Texture times vertex colour, opaque.
inline constexpr char kTechniques[] =
    "<techniquespack><t id=\"TEQ_FONT\" alphablending=\"OFF\" s0_colorop=\"MODULATE\" s0_colorarg1=\"TEXTURE\" "
    "s0_colorarg2=\"DIFFUSE\" s0_alphaop=\"SELECTARG1\" s0_alphaarg1=\"DIFFUSE\" s1_colorop=\"DISABLE\"/>"
    "</techniquespack>";

class ControlsTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    WriteFileBytes("DATA/font.bmp", Bitmap32(16, 16, std::vector<uint32_t>(256, 0xFFFFFFFFu)));
    WriteFileBytes("DATA/teq.pack", kTechniques);
    WriteFileBytes("DATA/a.fnt", FontXML("FNT_A", "TEX_FONT", "TEQ_FONT", "TEQ_PACK"));
    WriteFileBytes("DATA/n.bmp", Bitmap32(1, 1, {0xFF404040u}));
    WriteFileBytes("DATA/s.bmp", Bitmap32(1, 1, {0xFF00FF00u}));
    WriteFileBytes("DATA/d.bmp", Bitmap32(1, 1, {0xFF0000FFu}));
    Start(Res("TEX_FONT", "font.bmp", "TEXTURE") + Res("TEQ_PACK", "teq.pack", "TECHNIQUE") +
          Res("FNT_A", "a.fnt", "FONT") + Res("TEX_N", "n.bmp", "TEXTURE") + Res("TEX_S", "s.bmp", "TEXTURE") +
          Res("TEX_D", "d.bmp", "TEXTURE"));
    for (auto [name, fn] : {std::pair{kClick, &RecordCall<kClick>}, {kPress, &RecordCall<kPress>},
                            {kHold, &RecordCall<kHold>}, {kInput, &RecordCall<kInput>},
                            {kCheck, &RecordCall<kCheck>}, {kUncheck, &RecordCall<kUncheck>}})
      m_gui->RegisterAction(name, fn);
    ActionCalls().clear();
  }
  // A key pressed for one frame and released in the next.
  void Type(SDL_Scancode key) {
    Key(key, true);
    Frame();
    Key(key, false);
    Frame();
  }
  size_t Calls(const std::string& call) const {
    return size_t(std::count(ActionCalls().begin(), ActionCalls().end(), call));
  }
  static bool Lit(uint32_t pixel) { return (pixel & 0xFFFFFFu) != 0; }
};
