// Labels drawn for real (alignment, colours, clipping) and text boxes typed into
// with real key events (focus, the length limit, Backspace, the caret).
#include "gui_fixture.h"

namespace {

TEST_F(ControlsTest, LabelsAlignColourAndClipTheirText) {
  Load("<desktop><label id=\"CENTRE\" coords=\"200 100 100 30\" font=\"FNT_A\" font_scale=\"1.1\" text=\"WWA\" "
       "alignment=\"2\" color=\"1 0 0 1\" visible=\"1\"/>"
       "<label id=\"RIGHT\" coords=\"200 200 100 30\" font=\"FNT_A\" text=\"AA\" alignment=\"3\" font_color=\"2\" "
       "visible=\"1\"/>"
       "<label id=\"CLIPPED\" coords=\"100 300 15 30\" font=\"FNT_A\" text=\"AA\" limitviewport=\"1\" visible=\"1\"/>"
       "<label id=\"AFTER\" coords=\"300 300 50 30\" font=\"FNT_A\" text=\"A\" visible=\"1\"/></desktop>");
  Frame();
  // "WWA" at scale 1.1 is 15 + 15 + 11 = 41 pixels wide.
  ASSERT_EQ(m_engine->FontGetStringWidth("WWA", m_engine->GetFontIID("FNT_A"), 1.1f, 0.0f), 41.0f);
  const O2DFrameImage frame = Read();
  // Centred: x + floor(100 / 2 - 41 / 2) = x + 29, in the element's own colour.
  EXPECT_FALSE(Lit(At(frame, 228, 110)));
  EXPECT_TRUE(RGBNear(At(frame, 229, 110), 0xFF0000u));
  // Right-aligned: the 20-pixel text ends at the right edge, in font colour 2.
  EXPECT_FALSE(Lit(At(frame, 279, 210)));
  EXPECT_TRUE(RGBNear(At(frame, 280, 210), 0xFF7F00u, 2));
  // Clipped to its 15 pixels, and the next label is drawn on the whole screen again.
  EXPECT_TRUE(Lit(At(frame, 114, 310)));
  EXPECT_FALSE(Lit(At(frame, 116, 310)));
  EXPECT_TRUE(Lit(At(frame, 305, 310)));
}

class TextBoxTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    m_engine->KeyboardSetTextBufferStatus(true);
    Load("<desktop><textbox id=\"BOX\" coords=\"100 100 200 30\" font=\"FNT_A\" maxchars=\"3\" on_input=\"input\" "
         "visible=\"1\"/></desktop>");
  }
  std::string Text() { return Param("BOX", "text").GetString(); }
  bool Focused() { return Param("BOX", "enabled").GetBool(); }
};

TEST_F(TextBoxTest, TypingStopsAtMaxCharsAndBackspaceAlwaysCountsAsInput) {
  Tap(SDL_SCANCODE_X);  // no focus yet: nothing is taken
  Click(150, 110);
  ASSERT_TRUE(Focused());
  for (SDL_Scancode key : {SDL_SCANCODE_A, SDL_SCANCODE_B, SDL_SCANCODE_C, SDL_SCANCODE_D}) Tap(key);
  EXPECT_EQ(Text(), "abc");
  EXPECT_EQ(Count("input"), 3u);
  for (int i = 0; i < 4; ++i) Tap(SDL_SCANCODE_BACKSPACE);
  EXPECT_EQ(Text(), "");
  EXPECT_EQ(Count("input"), 7u);  // the fourth Backspace found the text empty
}

// The caret toggles every 0.4 s while the box has the focus.
TEST_F(TextBoxTest, TheCaretBlinksUntilAClickOutsideARightClickOrEnterTakesTheFocus) {
  auto caret = [&] { return Lit(At(Read(), 105, 110)); };
  Click(150, 110);
  EXPECT_TRUE(caret());
  Frame(0.2f), Frame(0.2f);
  EXPECT_FALSE(caret());
  Frame(0.2f), Frame(0.2f);
  EXPECT_TRUE(caret());
  Tap(SDL_SCANCODE_RETURN);
  EXPECT_FALSE(Focused());
  EXPECT_FALSE(caret());
  Click(150, 110);
  Button(SDL_BUTTON_RIGHT, true), Frame();
  EXPECT_FALSE(Focused());
  Button(SDL_BUTTON_RIGHT, false);
  Click(150, 110);
  Click(400, 400);
  EXPECT_FALSE(Focused());
}

}  // namespace
