#pragma once
// The whole engine with a white test font ("FNT_A": every glyph a solid cell of
// 20 pixels, advances of 10, "W" 14.5 and space 6.7) and native actions that
// record their calls with the arguments they were given.
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
                      kCheck[] = "check", kUncheck[] = "uncheck", kGotFocus[] = "gotfocus";

class ControlsTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    WriteFileBytes("DATA/font.bmp", Bitmap32(16, 16, std::vector<uint32_t>(256, 0xFFFFFFFFu)));
    WriteFileBytes("DATA/teq.pack", "<techniquespack><t id=\"TEQ_FONT\" alphablending=\"ON\"/></techniquespack>");
    WriteFileBytes("DATA/a.fnt", FontXML("FNT_A", "TEX_FONT", "TEQ_FONT", "TEQ_PACK"));
    Start(Res("TEX_FONT", "font.bmp", "TEXTURE") + Res("TEQ_PACK", "teq.pack", "TECHNIQUE") +
          Res("FNT_A", "a.fnt", "FONT"));
    for (auto [name, fn] : {std::pair{kClick, &RecordCall<kClick>}, {kPress, &RecordCall<kPress>},
                            {kHold, &RecordCall<kHold>}, {kInput, &RecordCall<kInput>},
                            {kCheck, &RecordCall<kCheck>}, {kUncheck, &RecordCall<kUncheck>},
                            {kGotFocus, &RecordCall<kGotFocus>}})
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
  size_t Calls(const std::string& call) const { return size_t(std::count(ActionCalls().begin(), ActionCalls().end(), call)); }
  static bool Lit(uint32_t pixel) { return (pixel & 0xFFFFFFu) != 0; }
};
