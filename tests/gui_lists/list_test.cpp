// The list box a player points at, clicks and steps through with the arrow
// keys, and the scroll box that clips and parks what is out of its area.
#include "costrak_utils_demand.h"
#include "gui_fixture.h"

namespace {

// The select action reads the cell back, as the game does.
void OnSelect() { Record("select " + std::to_string(int(Number("LST", "selectedcell")))); }
// Cells alternate red and green, as wide as the list and one cell high.
void OnRedraw() {
  Record("redraw");
  const auto& args = COstrakGUI::GetInstance()->GetActionArgs();
  COstrak* engine = O2D_GetEngine();
  engine->TexSet(O2DUTIL_DemandTexture(int(args[0].GetFloat()) % 2 ? "TEX_GREEN" : "TEX_RED"), 0);
  engine->VQuadSetColor(1, 1, 1, 1);
  engine->VQuadSetPos(args[1].GetPoint().x, args[1].GetPoint().y, 200, 20);
  engine->SceneRender();
}

class ListBoxTest : public GUIListsTest {
 protected:
  void SetUp() override {
    GUIListsTest::SetUp();
    Recording({"check", "shift", "prepare", "A", "B"});
    Load(R"(<desktop><listbox id="LST" coords="100 100 200 50" visible="1" enabled="1" cellheight="20" cellscount="10"
              scrolly="10" on_checkcell="check" on_scrollshift="shift"/></desktop>)");
    m_gui->SetElementParam("LST", "on_selectcell", CGUIValue(&OnSelect));
  }
};

TEST_F(ListBoxTest, PointingSelectsTheCellUnderTheScrolledCursorAndClickingChecksIt) {
  m_gui->SetElementParam("LST", "on_prepareframe", CGUIValue(m_gui->FindAction("prepare")));
  MoveTo(150, 125);  // 25 below the top, 10 scrolled: 35 / 20 is cell 1
  Frame();
  Click(150, 125);
  EXPECT_EQ(Number("LST", "checkedcell"), 1);
  EXPECT_EQ(Calls(), (Strings{"select 1", "prepare 1 -1 1 1 1 1 1", "check", "prepare 1 1 1 1 1 1 1",
                              "prepare 1 1 1 1 1 1 1"}));
  MoveTo(350, 125), Frame();
  EXPECT_EQ(Number("LST", "selectedcell"), -1);

  // Fewer cells drop a chosen cell that no longer exists.
  m_gui->SetElementParam("LST", "checkedcell", CGUIValue(5.0f));
  m_gui->SetElementParam("LST", "cellscount", CGUIValue(3.0f));
  EXPECT_EQ(Number("LST", "checkedcell"), -1);
}

TEST_F(ListBoxTest, ArrowKeysMoveTheChoiceAndScrollItIntoView) {
  m_gui->SetElementParam("LST", "scroll_enabled", CGUIValue(true));
  m_gui->SetElementParam("LST", "checkedcell", CGUIValue(2.0f));
  Calls();
  Tap(SDL_SCANCODE_DOWN);  // cell 3 ends at 80, below 10 + 50
  EXPECT_EQ(Number("LST", "scrolly"), 30);
  for (int i = 0; i < 4; ++i) Tap(SDL_SCANCODE_UP);  // the last one finds no cell above the first
  EXPECT_EQ(Number("LST", "checkedcell"), 0);
  // The cursor is off the list, so each frame's pointing drops the moved selection.
  EXPECT_EQ(Calls(), (Strings{"shift 30", "check", "select -1", "shift 30", "check", "select -1", "shift 20", "check",
                              "select -1", "shift 0", "check", "select -1"}));
}

TEST_F(ListBoxTest, CellsAreDrawnScrolledAndClippedToTheList) {
  m_gui->SetElementParam("LST", "on_redrawcell", CGUIValue(&OnRedraw));
  Frame();
  // Rows 90 (cell 0, half hidden), 110, 130 and 150 (cell 3, hidden below).
  EXPECT_EQ(Calls(), (Strings{"redraw 0 100 90", "redraw 1 100 110", "redraw 2 100 130", "redraw 3 100 150"}));
  const O2DFrameImage frame = Read();
  for (auto [y, colour] : {std::pair{95u, 0u}, {105u, kRed}, {115u, kGreen}, {145u, kRed}, {155u, 0u}})
    EXPECT_TRUE(RGBNear(At(frame, 150, y), colour)) << y;
}

TEST_F(ListBoxTest, AScrollBoxClipsItsChildrenAndParksThoseOutsideItsArea) {
  const auto tile = [](const std::string& id, const std::string& coords) {
    return "<tile id=\"" + id + "\" visible=\"1\" enabled=\"1\" texture=\"TEX_BLUE\" coords=\"" + coords + "\"/>";
  };
  // Scrolled by 50: A shows at the top, C crosses the bottom edge, B starts right
  // at it (touching is not overlapping). D is outside the box, drawn after it.
  Load("<desktop><scrollbox id=\"SCB\" coords=\"100 300 100 100\" visible=\"1\" enabled=\"1\" scrolly=\"50\">"
       "<flex id=\"FLX_A\" coords=\"10 60 50 20\" visible=\"1\" enabled=\"1\" on_update=\"A\"/>"
       "<flex id=\"FLX_B\" coords=\"10 150 50 20\" visible=\"1\" enabled=\"1\" on_update=\"B\"/>" +
       tile("TIL_A", "10 60 50 20") + tile("TIL_C", "40 130 50 30") + "</scrollbox>" + tile("TIL_D", "500 300 20 20") +
       "</desktop>");
  Frame();
  EXPECT_EQ(Calls(), (Strings{"A 110 310 50 20 1 1 1 1 1 1", "B 110 400 50 20 1 1 1 1 0 0"}));
  const O2DFrameImage frame = Read();
  EXPECT_TRUE(RGBNear(At(frame, 120, 315), kBlue));  // A
  EXPECT_TRUE(RGBNear(At(frame, 150, 390), kBlue));  // C inside the box
  EXPECT_TRUE(RGBNear(At(frame, 150, 405), 0));      // C and B below it
  EXPECT_TRUE(RGBNear(At(frame, 120, 405), 0));
  EXPECT_TRUE(RGBNear(At(frame, 510, 310), kBlue));  // D: the whole screen is drawable again
}

}  // namespace
