// Buttons and check boxes driven by real mouse events: where a press begins
// decides what it does, holding repeats, looks and caption tints follow the
// state, and check boxes hand their tag to Lua and native actions.
#include "o2dgui_stdclass_button.h"

#include "gui_fixture.h"

namespace {

class ButtonTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    Load("<desktop><button id=\"B\" coords=\"100 100 100 50\" on_click=\"click\" on_press=\"press\" on_hold=\"hold\" "
         "holdtime_start=\"0.5\" holdtime_interval=\"0.1\" visible=\"1\" enabled=\"1\"/></desktop>");
  }
  int32_t State() { return static_cast<CGUIButton*>(Element("B"))->GetState(); }
};

TEST_F(ButtonTest, APressOnlyCountsWhereItBegan) {
  // Pressed outside, then moved on: selected, not pressed.
  MoveTo(50, 50), Button(SDL_BUTTON_LEFT, true), Frame();
  MoveTo(150, 125), Frame();
  EXPECT_EQ(State(), 2);
  Button(SDL_BUTTON_LEFT, false), Frame();
  // Pressed inside, dragged out, released outside: the click came at the press.
  Button(SDL_BUTTON_LEFT, true), Frame();
  MoveTo(300, 300), Frame();
  EXPECT_EQ(State(), 2);
  Button(SDL_BUTTON_LEFT, false), Frame();
  EXPECT_EQ(Calls(), Strings{"click"});
  // Pressed and released inside: click, then press.
  Click(150, 125);
  EXPECT_EQ(Calls(), (Strings{"click", "press"}));
}

TEST_F(ButtonTest, HoldingRepeatsAfterTheStartDelay) {
  MoveTo(150, 125), Button(SDL_BUTTON_LEFT, true), Frames(62);  // about 1.0 s: 0.5 s to start, then every 0.1 s
  EXPECT_NEAR(double(Count("hold")), 5.0, 1.0) << Count("hold");
  Button(SDL_BUTTON_LEFT, false);
  const size_t held = Count("hold");
  Frames(30);
  EXPECT_EQ(Count("hold"), held);
}

TEST_F(ControlsTest, ButtonLooksAndCaptionTintsFollowTheState) {
  Load("<desktop><button id=\"B\" coords=\"100 100 100 50\" texture_selected=\"TEX_S\" texture_disabled=\"TEX_D\" "
       "texture=\"TEX_N\" childscolor_selected=\"1 0 0 1\" visible=\"1\" enabled=\"1\">"
       "<label id=\"CAPTION\" coords=\"0 0 100 50\" font=\"FNT_A\" text=\"A\" visible=\"1\"/></button></desktop>");
  auto expect = [&](uint32_t tile, uint32_t caption) {
    const O2DFrameImage frame = Read();
    EXPECT_TRUE(RGBNear(At(frame, 150, 140), tile, 4));  // textures may be stored in fewer bits
    EXPECT_TRUE(RGBNear(At(frame, 105, 105), caption));
  };
  Frames(2);  // the font's technique is in force from the first frame on
  expect(0x404040u, 0xFFFFFFu);
  MoveTo(150, 140), Frame();
  expect(0x00FF00u, 0xFF0000u);
  m_gui->ExecuteElementCommand("B", GUICMD_DISABLE);
  Frame();
  expect(0x0000FFu, 0xFFFFFFu);
}

// Two radio members whose Lua handler unchecks the other one, by the tag it gets.
TEST_F(ControlsTest, ARadioMemberIgnoresTheMouseWhileChecked) {
  Lua("checks = 0\n"
      "function OnRadio(tag) checks = checks + 1; O2DGUI_ExecuteElementCommand(\"R\" .. (3 - tag), 8) end\n"
      "function Checks() return checks end");
  Load("<desktop><checkbox id=\"R1\" tag=\"1\" coords=\"100 100 50 50\" radiobutton=\"1\" checked=\"1\" "
       "on_check=\"OnRadio\" visible=\"1\" enabled=\"1\"/>"
       "<checkbox id=\"R2\" tag=\"2\" coords=\"200 100 50 50\" radiobutton=\"1\" on_check=\"OnRadio\" "
       "visible=\"1\" enabled=\"1\"/></desktop>");
  auto checked = [&](const char* id) { return Param(id, "checked").GetBool(); };
  Click(125, 125);  // already checked: nothing happens
  EXPECT_TRUE(checked("R1"));
  Click(225, 125);
  EXPECT_TRUE(checked("R2"));
  EXPECT_FALSE(checked("R1"));
  Click(125, 125);
  EXPECT_TRUE(checked("R1"));
  EXPECT_FALSE(checked("R2"));
  m_engine->CallLuaFunction("Checks", 1);
  EXPECT_EQ(m_engine->ScrGetResults().at(0).GetNumber(), 2.0);
}

TEST_F(ControlsTest, ACheckBoxTogglesAndGivesItsTagToNativeActions) {
  Load("<desktop><checkbox id=\"C\" tag=\"5\" coords=\"100 100 50 50\" on_check=\"check\" "
       "on_uncheck=\"uncheck\" on_press=\"press\" visible=\"1\" enabled=\"1\"/></desktop>");
  Click(125, 125);
  Click(125, 125);
  m_gui->SetElementParam("C", GUIP_CHECKED, CGUIValue(true));  // quietly
  EXPECT_EQ(Calls(), (Strings{"check 5", "uncheck 5"}));
}

}  // namespace
