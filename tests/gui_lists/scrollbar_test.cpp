// Scroll bars as a player uses them: the slider shows the page's share of the
// track, follows the mouse, pages on a click beside it, steps with the wheel
// (faster as frames get longer), pages with Page Up and Down, and takes no
// input while its range is empty.
#include "gui_fixture.h"

namespace {

void OnScroll() { Record("scroll " + std::to_string(int(Number("BAR", "curvalue")))); }

class ScrollBarTest : public GUIListsTest {
 protected:
  void Bar(const std::string& cls, const std::string& params) {
    m_gui->RegisterAction("OnScroll", &OnScroll);
    Load("<desktop><" + cls + " id=\"BAR\" visible=\"1\" enabled=\"1\" " + params +
         " texture_normal=\"TEX_RED\" texture_selected=\"TEX_GREEN\" texture_pressed=\"TEX_BLUE\" "
         "texture_disabled=\"TEX_GREY\" on_scroll=\"OnScroll\"/></desktop>");
  }
  int Value() { return int(Number("BAR", "curvalue")); }
  uint32_t PixelAt(uint32_t x, uint32_t y) { return At(Read(), x, y); }
};

TEST_F(ScrollBarTest, TheSliderCoversThePageShareAndFollowsTheDrag) {
  Bar("horscroll", "coords=\"100 100 200 20\" maxvalue=\"10\" pagesize=\"10\" curvalue=\"5\"");
  MoveTo(200, 110), Frame();
  const O2DFrameImage frame = Read();  // 100 long at offset 50, hovered
  for (auto [x, colour] : {std::pair{149u, 0u}, {150u, kGreen}, {249u, kGreen}, {250u, 0u}})
    EXPECT_TRUE(RGBNear(At(frame, x, 119), colour)) << x;
  Button(SDL_BUTTON_LEFT, true), Frame();
  MoveTo(250, 110);  // the slider's end reaches the bar's end
  Frame();
  EXPECT_EQ(Value(), 10);
  EXPECT_TRUE(RGBNear(PixelAt(299, 110), kBlue));
  Button(SDL_BUTTON_LEFT, false), MoveTo(400, 400), Frame();
  EXPECT_TRUE(RGBNear(PixelAt(299, 110), kRed));
  Click(120, 110);  // before the slider: a page back
  EXPECT_EQ(Value(), 0);
  EXPECT_EQ(Calls(), (Strings{"scroll 10", "scroll 0"}));

  // With an empty range the bar takes no input and shows its disabled slider.
  m_gui->SetElementParam("BAR", "maxvalue", CGUIValue(0.0f));
  Wheel(-1);
  Click(250, 110);
  EXPECT_TRUE(Calls().empty());
  EXPECT_TRUE(RGBNear(PixelAt(298, 110), kGrey, 8));  // a whole page: the whole bar
}

TEST_F(ScrollBarTest, AVerticalBarDragsAlongYAndAFixedSliderJumpsToTheClick) {
  Bar("verscroll", "coords=\"50 100 20 200\" maxvalue=\"10\" pagesize=\"10\"");
  MoveTo(60, 150), Frame();
  Button(SDL_BUTTON_LEFT, true), Frame();
  MoveTo(70, 200), Frame();
  EXPECT_EQ(Value(), 5);
  Button(SDL_BUTTON_LEFT, false);
  // A 40 long slider at 5 of 10 covers 180 .. 220; a click at 270 centres it
  // there, and the way to the click does not drag it further.
  m_gui->SetElementParam("BAR", "slider", CGUIValue(true));
  m_gui->SetElementParam("BAR", "slidersize", CGUIValue(40.0f));
  Frame();
  Click(60, 270);
  EXPECT_EQ(Value(), 9);  // 150 of 160 pixels
  EXPECT_TRUE(RGBNear(PixelAt(60, 289), kGreen));
  EXPECT_EQ(Calls(), (Strings{"scroll 5", "scroll 9"}));
}

TEST_F(ScrollBarTest, WheelStepsScaleWithTheFrameTimeAndPageKeysPage) {
  Bar("horscroll", "coords=\"100 100 200 20\" maxvalue=\"100\" pagesize=\"10\" curvalue=\"50\"");
  MoveTo(120, 110), Frame();
  Wheel(1);  // forward: back by 3 x (100 / 60 truncated)
  Frame(1.0f / 60.0f);
  EXPECT_EQ(Value(), 47);
  Wheel(-1), Frame(1.0f / 20.0f);
  EXPECT_EQ(Value(), 62);
  for (SDL_Scancode key : {SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, SDL_SCANCODE_PAGEUP}) Tap(key);
  EXPECT_EQ(Value(), 72);
  MoveTo(400, 400);  // away from the bar, the wheel is someone else's
  Wheel(1), Frame();
  EXPECT_EQ(Value(), 72);
}

}  // namespace
