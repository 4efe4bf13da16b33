// The list box a player points at, clicks and steps through with the arrow
// keys, and the scroll box that clips and parks what is out of its area.
#include "lists_fixture.h"

namespace {

class ListBoxTest : public GUIListsTest {
 protected:
  void SetUp() override {
    GUIListsTest::SetUp();
    // The select action reads the cell back as the game does.
    Action("OnSelect", [] {
      CGUIValue cell;
      COstrakGUI::GetInstance()->GetElementParam("LST", "selectedcell", cell);
      Record("select " + std::to_string(int(cell.GetFloat())));
    });
    Action("OnCheck", [] { Record("check"); });
    Action("OnShift", [] { Record("shift"); });
    Action("OnPrepare", [] { Record("prepare"); });
    // Cells alternate red and green, the width of the list and one cell high.
    Action("OnRedraw", [] {
      Record("redraw");
      const auto& args = COstrakGUI::GetInstance()->GetActionArgs();
      const bool odd = int(args[0].GetFloat()) % 2;
      PlainQuad(args[1].GetPoint().x, args[1].GetPoint().y, 200, 20, odd ? 0 : 1, odd ? 1 : 0, 0);
    });
    Load("<desktop><listbox id=\"LST\" coords=\"100 100 200 50\" visible=\"1\" enabled=\"1\" cellheight=\"20\" "
         "cellscount=\"10\" scrolly=\"10\" on_selectcell=\"OnSelect\" on_checkcell=\"OnCheck\" "
         "on_scrollshift=\"OnShift\"/></desktop>");
  }
};

TEST_F(ListBoxTest, PointingSelectsTheCellUnderTheScrolledCursorAndClickingChecksIt) {
  m_gui->SetElementParam("LST", "on_prepareframe", Native("OnPrepare"));
  MoveTo(150, 125);  // 25 below the top, 10 scrolled: 35 / 20 is cell 1
  Frame();
  EXPECT_EQ(Number("LST", "selectedcell"), 1);
  Click(150, 125);
  EXPECT_EQ(Number("LST", "checkedcell"), 1);
  EXPECT_EQ(ActionCalls(), (std::vector<std::string>{"select 1()", "prepare(1, -1, 1 1 1 1, true)", "check()",
                                                     "prepare(1, 1, 1 1 1 1, true)", "prepare(1, 1, 1 1 1 1, true)"}));
  MoveTo(350, 125);
  Frame();
  EXPECT_EQ(Number("LST", "selectedcell"), -1);

  // Fewer cells drop a chosen cell that no longer exists.
  m_gui->SetElementParam("LST", "checkedcell", CGUIValue(5.0f));
  m_gui->SetElementParam("LST", "cellscount", CGUIValue(3.0f));
  EXPECT_EQ(Number("LST", "checkedcell"), -1);
  // Out of range the offset keeps the last cell at the bottom at most.
  m_gui->SetElementParam("LST", "scrolly", CGUIValue(100.0f));
  EXPECT_EQ(Number("LST", "scrolly"), 10);
}

TEST_F(ListBoxTest, ArrowKeysMoveTheChoiceAndScrollItIntoView) {
  m_gui->SetElementParam("LST", "scroll_enabled", CGUIValue(true));
  m_gui->SetElementParam("LST", "checkedcell", CGUIValue(2.0f));
  ActionCalls().clear();
  Press(SDL_SCANCODE_DOWN);  // cell 3 ends at 80, below 10 + 50
  EXPECT_EQ(Number("LST", "checkedcell"), 3);
  EXPECT_EQ(Number("LST", "scrolly"), 30);
  Press(SDL_SCANCODE_UP);
  Press(SDL_SCANCODE_UP);
  Press(SDL_SCANCODE_UP);  // cell 0 starts above the view
  Press(SDL_SCANCODE_UP);  // no cell above the first: nothing happens
  EXPECT_EQ(Number("LST", "checkedcell"), 0);
  EXPECT_EQ(Number("LST", "scrolly"), 0);
  // The cursor is off the list, so each frame's pointing drops the moved selection.
  EXPECT_EQ(ActionCalls(), (std::vector<std::string>{"shift(30)", "check()", "select -1()", "shift(30)", "check()",
                                                     "select -1()", "shift(20)", "check()", "select -1()", "shift(0)",
                                                     "check()", "select -1()"}));
}

TEST_F(ListBoxTest, CellsAreDrawnScrolledAndClippedToTheList) {
  m_gui->SetElementParam("LST", "on_redrawcell", Native("OnRedraw"));
  Frame();
  // Rows 90 (cell 0, half hidden), 110, 130 and 150 (cell 3, hidden below).
  EXPECT_EQ(ActionCalls(), (std::vector<std::string>{"redraw(0, 100 90)", "redraw(1, 100 110)", "redraw(2, 100 130)",
                                                     "redraw(3, 100 150)"}));
  const O2DFrameImage frame = Read();
  EXPECT_TRUE(RGBNear(At(frame, 150, 95), 0x000000));
  EXPECT_TRUE(RGBNear(At(frame, 150, 105), 0xFF0000));
  EXPECT_TRUE(RGBNear(At(frame, 150, 115), 0x00FF00));
  EXPECT_TRUE(RGBNear(At(frame, 150, 145), 0xFF0000));
  EXPECT_TRUE(RGBNear(At(frame, 150, 155), 0x000000));
}

class ScrollBoxTest : public GUIListsTest {};

// Each flex paints its effective rect in blue.
void PaintFlex(const char* id) {
  CGUIElement* flex = COstrakGUI::GetInstance()->GetElement(COstrakGUI::GetInstance()->GetElementIndex(id));
  const GUIRECT& r = flex->GetEffectiveRect();
  PlainQuad(r.x, r.y, r.width, r.height, 0, 0, 1);
}

TEST_F(ScrollBoxTest, ChildrenScrollAreClippedAndThoseOutsideAreParked) {
  Action("UpdA", [] { Record("A"); });
  Action("UpdB", [] { Record("B"); });
  Action("DrawA", [] { PaintFlex("FLX_A"); });
  Action("DrawB", [] { PaintFlex("FLX_B"); });
  Action("DrawC", [] { PaintFlex("FLX_C"); });
  Action("DrawD", [] { PaintFlex("FLX_D"); });
  // Scrolled by 50: A shows at the top, C crosses the bottom edge, B starts right
  // at it (touching is not overlapping). D is outside the box, drawn after it.
  Load("<desktop><scrollbox id=\"SCB\" coords=\"100 300 100 100\" visible=\"1\" enabled=\"1\" scrolly=\"50\">"
       "<flex id=\"FLX_A\" coords=\"10 60 50 20\" visible=\"1\" enabled=\"1\" on_update=\"UpdA\" on_redraw=\"DrawA\"/>"
       "<flex id=\"FLX_B\" coords=\"10 150 50 20\" visible=\"1\" enabled=\"1\" on_update=\"UpdB\" on_redraw=\"DrawB\"/>"
       "<flex id=\"FLX_C\" coords=\"40 130 50 30\" visible=\"1\" enabled=\"1\" on_redraw=\"DrawC\"/>"
       "</scrollbox><flex id=\"FLX_D\" coords=\"500 300 20 20\" visible=\"1\" on_redraw=\"DrawD\"/></desktop>");
  Frame();
  EXPECT_EQ(ActionCalls(), (std::vector<std::string>{"A(110 310 50 20, 1 1 1 1, true, true)",
                                                     "B(110 400 50 20, 1 1 1 1, false, false)"}));
  const O2DFrameImage frame = Read();
  EXPECT_TRUE(RGBNear(At(frame, 120, 315), 0x0000FF));  // A
  EXPECT_TRUE(RGBNear(At(frame, 150, 390), 0x0000FF));  // C inside the box
  EXPECT_TRUE(RGBNear(At(frame, 150, 405), 0x000000));  // C and B below it
  EXPECT_TRUE(RGBNear(At(frame, 120, 405), 0x000000));
  EXPECT_TRUE(RGBNear(At(frame, 510, 310), 0x0000FF));  // D, the screen is whole again
}

}  // namespace
