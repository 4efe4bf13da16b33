// Windows moving in and out, and animtiles playing their frames.
#include "gui_fixture.h"
#include "o2dgui_stdclass_window.h"

namespace {

TEST_F(TilesTest, WindowTakesInputOnlyWhenFullyShown) {
  Load(R"(<desktop>
    <window id="W" coords="0 0 200 100" time_showhide="0.5" color_middle="1 1 1 0.2" location_shown="200 0"
        enabled="1" on_show="OnShow" on_hide="OnHide">
      <advtile id="B" coords="10 10 50 50" texture="FRAME1" visible="1" enabled="1" on_click="OnClick"/>
    </window>
  </desktop>)");
  auto* window = static_cast<CGUIWindow*>(Element("W"));
  m_gui->ExecuteElementCommand("W", GUICMD_HIDE);
  Frame();
  EXPECT_EQ(window->GetState(), CGUIWindow::HIDDEN);
  EXPECT_TRUE(RGBNear(At(Read(), 230, 30), 0xFF000000u, 0));

  m_gui->ExecuteElementCommand("W", GUICMD_SHOW);
  Frame(0.25f);
  EXPECT_NEAR(window->GetEffectiveColor().height, 0.35f, 1e-4f);  // B(0, 0.2, 1) half-way
  EXPECT_FLOAT_EQ(Element("B")->GetEffectiveRect().x, 60.0f);     // 200 x 0.25 + 10
  Click(80, 30);
  Frame(0.25f);
  EXPECT_EQ(window->GetState(), CGUIWindow::SHOWN);
  Click(230, 30);
  EXPECT_TRUE(RGBNear(At(Read(), 230, 30), FrameColour(1), 2));
  m_gui->ExecuteElementCommand("W", GUICMD_SHOW);  // already shown: no second on_show
  Frame();
  EXPECT_EQ(Calls(), (Strings{"OnShow", "OnClick"}));

  // Reversed half-way, it comes back from where it stood.
  m_gui->ExecuteElementCommand("W", GUICMD_HIDE);
  Frame(0.2f);
  m_gui->ExecuteElementCommand("W", GUICMD_SHOW);
  Frame(0.1f);
  EXPECT_EQ(window->GetState(), CGUIWindow::SHOWING);
  Frame(0.15f);
  EXPECT_EQ(window->GetState(), CGUIWindow::SHOWN);
  EXPECT_EQ(Calls(), (Strings{"OnHide", "OnShow"}));
}

TEST_F(TilesTest, AnimTileFramesHeldLoopedAndPlayedOnce) {
  auto anim = [](const char* id, int x, const char* extra) {
    const std::string at = "\"" + std::to_string(x) + " 300\"";
    return std::string("<animtile id=\"") + id + "\" coords=\"0 0 20 20\" location_begin=" + at +
           " location_middle=" + at + " location_end=" + at +
           " color_begin=\"1 1 1 1\" color_middle=\"1 1 1 1\" enum_frames=\"ENUM_FRAMES\" time_animcycle=\"1\" " +
           extra + "/>";
  };
  Load("<desktop>" + anim("HELD", 100, "visible=\"1\" enabled=\"1\"") +
       anim("LOOP", 200, "visible=\"1\" enabled=\"1\" looped=\"1\"") + anim("ONCE", 300, "") +
       anim("BIG", 400, "visible=\"1\" location_center=\"10 10\" scale_begin=\"2\" scale_middle=\"2\" scale_end=\"2\"") +
       "</desktop>");
  m_gui->ExecuteElementCommand("ONCE", 5);
  for (int frame = 0; frame < 4; ++frame) {
    Frame(frame == 0 ? 0.0f : 0.25f);
    const O2DFrameImage image = Read();
    for (int x : {110, 210, 310}) EXPECT_TRUE(RGBNear(At(image, x, 310), FrameColour(frame), 2)) << x << " " << frame;
  }
  Frame(0.25f);
  O2DFrameImage image = Read();
  EXPECT_TRUE(RGBNear(At(image, 110, 310), FrameColour(3), 2));
  EXPECT_TRUE(RGBNear(At(image, 210, 310), FrameColour(0), 2));
  EXPECT_TRUE(RGBNear(At(image, 310, 310), 0xFF000000u, 0));
  EXPECT_FALSE(Param("ONCE", "visible").GetBool());
  // Disabled, the scaled one stands still on its first frame, twice its size about its centre.
  EXPECT_TRUE(RGBNear(At(image, 395, 325), FrameColour(0), 2));
  Frame(0.25f);
  image = Read();
  EXPECT_TRUE(RGBNear(At(image, 110, 310), FrameColour(3), 2));
  EXPECT_TRUE(RGBNear(At(image, 210, 310), FrameColour(1), 2));
}

TEST_F(TilesTest, AnimTileFrameRefusals) {
  Load(R"(<desktop><animtile id="A"/></desktop>)");
  EXPECT_EQ(Raised([&] { m_gui->SetElementParam("A", "enum_frames", CGUIValue(static_cast<CGUIEnum*>(nullptr))); }),
            "1 0: CGUIEnum pointer is NULL!");
  m_gui->SetElementParam("A", "time_animcycle", CGUIValue(0.0f));  // a script's zero stays a usable cycle
  m_gui->SetElementParam("A", "looped", CGUIValue(true));
  m_gui->SetElementParam("A", "enabled", CGUIValue(true));
  Frame(0.3f);
  EXPECT_GT(Param("A", "time_animcycle").GetFloat(), 0.0f);
}

}  // namespace
