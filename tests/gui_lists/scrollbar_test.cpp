// Scroll bars as a player uses them: the slider shows the page's share of the
// track, follows the mouse, pages on a click beside it, steps with the wheel
// (faster than the keys' pace) and pages with Page Up and Down.
#include "lists_fixture.h"
#include "o2dgui_stdclass_scrollbar.h"

namespace {

class ScrollBarTest : public GUIListsTest {
 protected:
  void SetUp() override {
    GUIListsTest::SetUp();
    Action("OnScroll", [] {
      CGUIValue value;
      COstrakGUI::GetInstance()->GetElementParam("BAR", "curvalue", value);
      Record("scroll " + std::to_string(int(value.GetFloat())));
    });
  }
  void Bar(const std::string& cls, const std::string& params) {
    Load("<desktop><" + cls + " id=\"BAR\" visible=\"1\" enabled=\"1\" " + params +
         " texture_normal=\"TEX_RED\" texture_selected=\"TEX_GREEN\" texture_pressed=\"TEX_BLUE\" "
         "texture_disabled=\"TEX_GREY\" on_scroll=\"OnScroll\"/></desktop>");
  }
  int Value() { return int(Number("BAR", "curvalue")); }
};

TEST_F(ScrollBarTest, TheSliderCoversThePageShareAndFollowsTheDrag) {
  Bar("horscroll", "coords=\"100 100 200 20\" maxvalue=\"10\" pagesize=\"10\" curvalue=\"5\"");
  MoveTo(400, 400);
  Frame();
  O2DFrameImage frame = Read();  // 100 long at offset 50
  EXPECT_TRUE(RGBNear(At(frame, 149, 110), 0x000000));
  EXPECT_TRUE(RGBNear(At(frame, 150, 110), kRed));
  EXPECT_TRUE(RGBNear(At(frame, 249, 119), kRed));
  EXPECT_TRUE(RGBNear(At(frame, 250, 110), 0x000000));

  MoveTo(200, 110);
  Frame();
  EXPECT_TRUE(RGBNear(At(Read(), 200, 110), kGreen));
  Button(SDL_BUTTON_LEFT, true);
  Frame();
  MoveTo(250, 110);  // the slider's end reaches the bar's end
  Frame();
  frame = Read();
  EXPECT_EQ(Value(), 10);
  EXPECT_TRUE(RGBNear(At(frame, 299, 110), kBlue));
  EXPECT_TRUE(RGBNear(At(frame, 199, 110), 0x000000));
  Button(SDL_BUTTON_LEFT, false);
  Frame();
  Click(120, 110);  // before the slider: a page back
  EXPECT_EQ(Value(), 0);
  EXPECT_EQ(ActionCalls(), (std::vector<std::string>{"scroll 10()", "scroll 0()"}));
}

TEST_F(ScrollBarTest, AVerticalBarDragsAlongYAndAFixedSliderJumpsToTheClick) {
  Bar("verscroll", "coords=\"50 100 20 200\" maxvalue=\"10\" pagesize=\"10\"");
  MoveTo(60, 150);
  Frame();
  Button(SDL_BUTTON_LEFT, true);
  Frame();
  MoveTo(70, 150);  // across the bar: nothing
  Frame();
  MoveTo(70, 200);
  Frame();
  EXPECT_EQ(Value(), 5);
  Button(SDL_BUTTON_LEFT, false);
  Frame();

  // A 40 long slider at 5 of 10 covers 180 .. 220; a click at 270 centres it there.
  m_gui->SetElementParam("BAR", "slider", CGUIValue(true));
  m_gui->SetElementParam("BAR", "slidersize", CGUIValue(40.0f));
  Click(60, 270);
  EXPECT_EQ(Value(), 9);  // 150 of 160 pixels
  EXPECT_TRUE(RGBNear(At(Read(), 60, 289), kGreen));
  EXPECT_EQ(ActionCalls(), (std::vector<std::string>{"scroll 5()", "scroll 9()"}));
}

TEST_F(ScrollBarTest, WheelStepsScaleWithTheFrameTimeAndPageKeysPage) {
  Bar("horscroll", "coords=\"100 100 200 20\" maxvalue=\"100\" pagesize=\"10\" curvalue=\"50\"");
  MoveTo(120, 110);
  Frame();
  Wheel(1);  // forward: back by 3 x (100 / 60 truncated)
  Frame(1.0f / 60.0f);
  EXPECT_EQ(Value(), 47);
  Wheel(-1);
  Frame(1.0f / 20.0f);
  EXPECT_EQ(Value(), 62);
  Press(SDL_SCANCODE_PAGEDOWN);
  EXPECT_EQ(Value(), 72);
  Press(SDL_SCANCODE_PAGEUP);
  EXPECT_EQ(Value(), 62);
  MoveTo(400, 400);  // away from the bar, the wheel is someone else's
  Wheel(1);
  Frame();
  EXPECT_EQ(Value(), 62);
}

TEST_F(ScrollBarTest, AnEmptyRangeIgnoresTheMouse) {
  Bar("horscroll", "coords=\"100 100 200 20\" pagesize=\"10\"");
  MoveTo(110, 110);
  Wheel(-1);
  Frame();
  Click(110, 110);
  Click(250, 110);
  EXPECT_EQ(Value(), 0);
  EXPECT_TRUE(ActionCalls().empty());
  const O2DFrameImage frame = Read();  // the disabled slider, the whole page
  EXPECT_TRUE(RGBNear(At(frame, 101, 110), kGrey, 8));
  EXPECT_TRUE(RGBNear(At(frame, 298, 110), kGrey, 8));
}

}  // namespace
