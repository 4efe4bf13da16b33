// Tiles drawn by their slicing schemes, the tip at the cursor, and advtiles
// reacting to the mouse and hot keys.
#include "gui_fixture.h"
#include "o2d_input.h"
#include "o2dgui_stdclass_tile.h"

namespace {

TEST_F(TilesTest, SlicingSchemesDrawTheTextureParts) {
  // Borders of 10 screen pixels cut a quarter of the texture (40 x 40 nominal).
  Load(R"(<desktop>
    <tile id="NINE" coords="100 100 60 60" texture="SLICES" drawscheme="4" drawparams="40 40 10 10" visible="1"/>
    <tile id="FRAME" coords="200 100 60 60" texture="SLICES" drawscheme="5" drawparams="40 40 10 10" visible="1"/>
    <tile id="ACROSS" coords="300 100 60 20" texture="SLICES" drawscheme="7" drawparams="40 40 10 10" visible="1"/>
    <tile id="HALF" coords="400 100 20 20" texture="SLICES" texcoords="0.75 0.75 1 1" visible="1"/>
  </desktop>)");
  Frame();
  const O2DFrameImage frame = Read();
  const uint32_t at[3] = {5, 30, 55};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      EXPECT_TRUE(RGBNear(At(frame, 100 + at[col], 100 + at[row]), SliceColour(row, col), 2)) << row << col;
      const uint32_t framed = row == 1 && col == 1 ? 0xFF000000u : SliceColour(row, col);
      EXPECT_TRUE(RGBNear(At(frame, 200 + at[col], 100 + at[row]), framed, 2)) << row << col;
    }
  for (int col = 0; col < 3; ++col) EXPECT_TRUE(RGBNear(At(frame, 300 + at[col], 110), SliceColour(1, col), 2)) << col;
  EXPECT_TRUE(RGBNear(At(frame, 410, 110), SliceColour(2, 2), 2));
  EXPECT_TRUE(RGBNear(At(frame, 430, 110), 0xFF000000u, 0));
}

TEST_F(TilesTest, DrawParamsAndSchemeRefusals) {
  Load(R"(<desktop><tile id="T" coords="0 0 10 10" drawparams="64 32 8 8" visible="1"/></desktop>)");
  auto* tile = static_cast<CGUITile*>(Element("T"));
  EXPECT_EQ(std::pair(tile->GetBorderU(), tile->GetBorderV()), std::pair(0.125f, 0.25f));
  auto drawParams = [&](GUIRECT r) { return Raised([&] { m_gui->SetElementParam("T", "drawparams", CGUIValue(r)); }); };
  EXPECT_EQ(drawParams({0, 32, 8, 8}), "1 0: Invalid tile texture width!");
  EXPECT_EQ(drawParams({64, -1, 8, 8}), "1 0: Invalid tile texture height!");
  EXPECT_EQ(std::pair(tile->GetBorderU(), tile->GetBorderV()), std::pair(0.125f, 0.25f));  // both refused whole
  m_gui->SetElementParam("T", "drawscheme", CGUIValue(9.7f));
  EXPECT_FLOAT_EQ(Param("T", "drawscheme").GetFloat(), 9.0f);
  EXPECT_EQ(Raised([&] { Frame(); }), "2 0: Invalid drawing scheme. Scheme ID = 9");
}

TEST_F(TilesTest, TipFadesInLeftOfTheCursorNearTheRightEdge) {
  Load(R"(<desktop>
    <tile id="T" coords="600 100 200 100" drawscheme="6" visible="1" tip="TIP"/>
    <tip id="TIP" coords="10 10 100 20" texture="FRAME0" tipappeartime="0.5" on_show="OnShow"/>
  </desktop>)");
  MoveTo(750, 120), Frame();
  Frames(10, 0.1f);  // the tip delay passes with the mouse at rest; 0.1 s of fading
  EXPECT_EQ(Calls(), Strings{"OnShow"});
  Frame(0.15f);
  const CGUIElement* tip = Element("TIP");
  EXPECT_FLOAT_EQ(tip->GetEffectiveRect().x, 640.0f);  // 750 - 10 - 100: left of the cursor
  EXPECT_FLOAT_EQ(tip->GetEffectiveRect().y, 130.0f);
  EXPECT_NEAR(tip->GetEffectiveColor().height, 0.5f, 0.02f);
  Frame(0.3f);
  EXPECT_TRUE(RGBNear(At(Read(), 650, 140), FrameColour(0), 2));
  EXPECT_TRUE(Calls().empty());
}

TEST_F(TilesTest, AdvTileFocusClickAndHotKey) {
  Load(R"(<desktop><advtile id="A" coords="100 100 50 50" visible="1" enabled="1" on_gotfocus="OnGotFocus"
    on_lostfocus="OnLostFocus" on_click="OnClick" on_hotkey="OnHotKey" hotkey="SPACE"/></desktop>)");
  EXPECT_FLOAT_EQ(Param("A", "hotkey").GetFloat(), float(DIK_SPACE));
  MoveTo(120, 120), Frames(2);
  MoveTo(130, 130), Frame();
  EXPECT_EQ(Calls(), Strings{"OnGotFocus"});
  Click(140, 140);
  EXPECT_EQ(Calls(), Strings{"OnClick"});
  MoveTo(10, 10), Frames(2);
  EXPECT_EQ(Calls(), Strings{"OnLostFocus"});
  // Pressed outside and carried in: no click.
  Button(SDL_BUTTON_LEFT, true), Frame();
  MoveTo(120, 120), Frames(2);
  Button(SDL_BUTTON_LEFT, false), Frame();
  EXPECT_EQ(Calls(), Strings{"OnGotFocus"});

  Key(SDL_SCANCODE_SPACE, true), Frames(3);  // held: runs once
  Key(SDL_SCANCODE_SPACE, false), Frame();
  m_gui->SetElementParam("A", "hotkey", CGUIValue(float(DIK_F2) + 256.0f));  // a number is the code, as a byte
  Key(SDL_SCANCODE_F2, true), Frame();
  EXPECT_EQ(Calls(), (Strings{"OnHotKey", "OnHotKey"}));
  m_gui->SetElementParam("A", "hotkey", CGUIValue("NOSUCHKEY"));
  EXPECT_FLOAT_EQ(Param("A", "hotkey").GetFloat(), 0.0f);
}

}  // namespace
