// The GUI's script functions, called from real Lua text.
#include "gui_fixture.h"

namespace {

// A test class with one action parameter, as the standard buttons have.
class CActionElement : public CGUIElement {
 public:
  using CGUIElement::CGUIElement;
  static CGUIElement* Create(const std::string& id) { return new CActionElement(id); }
  void SetParam(int32_t iID, const CGUIValue& value) override {
    if (iID == GUIP_ON_PRESS) m_press.Set(value);
    else CGUIElement::SetParam(iID, value);
  }
  CGUIValue GetParam(int32_t iID) override { return iID == GUIP_ON_PRESS ? m_press.Get() : CGUIElement::GetParam(iID); }
  CGUIAction m_press;
};

class GUIGlueTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    Start();
    m_gui->RegisterClass(&CActionElement::Create, "test");
  }
  std::string Call(const std::string& body) {
    return Raised([&] { Lua("function f() " + body + " end"), m_engine->CallLuaFunction("f", -1); });
  }
  std::string Results() {
    std::string out;
    for (const CLuaValue& v : m_engine->ScrGetResults())
      out += v.GetStatus() == LUAVAL_BOOLEAN ? (v.GetBoolean() ? "true " : "false ") : std::to_string(int(v.GetNumber())) + " ";
    return out;
  }
};

TEST_F(GUIGlueTest, ElementsAreAddedFoundSetAndCommandedByIDOrIndex) {
  ASSERT_EQ(Call("local a = O2DGUI_AddNewElement('test', 'A', 'DESKTOP') "
                 "return O2DGUI_AddNewElement('test', 'B', a), O2DGUI_GetElementID('B'), O2DGUI_GetElementID('none')"),
            "<no error>");
  EXPECT_EQ(Results(), "-1 2 2 ");  // the last value first
  EXPECT_EQ(Element("B")->GetParent(), Element("A"));
  ASSERT_EQ(Call("O2DGUI_SetElementParam('A', 'visible', true) O2DGUI_SetElementParam(2, 2, 1, 2, 3, 4) "
                 "O2DGUI_SetElementParam('B', 'zorder', 7.8) O2DGUI_SetElementParam(1, 'on_press', 'OnPress') "
                 "return O2DGUI_GetElementParam(1, 6), O2DGUI_GetElementParam(2, 'zorder'), "
                 "O2DGUI_GetElementParam('B', 'coords')"),
            "<no error>");
  EXPECT_EQ(Results(), "4 3 2 1 7 true ");
  EXPECT_EQ(static_cast<CActionElement*>(Element("A"))->m_press.iKind, GUIACTION_LUA);

  // Commands at once or after their delay, and the tip.
  Call("O2DGUI_AddNewElement('test', 'T', 0)");
  EXPECT_EQ(Call("O2DGUI_ExecuteElementCommand('A', 3) O2DGUI_ExecuteElementCommand(1, 2, 0.5)"), "<no error>");
  EXPECT_TRUE(Element("A")->IsEnabled());
  Call("O2DGUI_ExecuteElementCommand(1, 4, 0)");  // a zero delay: at once
  EXPECT_FALSE(Element("A")->IsEnabled());
  Frame(0.3f);
  EXPECT_TRUE(Element("A")->IsVisible());
  Frame(0.3f);
  EXPECT_FALSE(Element("A")->IsVisible());
  EXPECT_EQ(Call("O2DGUI_SetCurTip('T')"), "<no error>");
  EXPECT_EQ(m_gui->GetCurTip(), 3);
  Call("O2DGUI_SetCurTip(99)");  // ignored
  EXPECT_EQ(m_gui->GetCurTip(), 3);
}

TEST_F(GUIGlueTest, RefusalsOfArgumentsAndValues) {
  Call("O2DGUI_AddNewElement('test', 'A', 0)");
  EXPECT_EQ(Call("O2DGUI_AddNewElement('test', 'B', true)"), GlueError("O2DGUI_AddNewElement", 3));
  EXPECT_EQ(Call("O2DGUI_AddNewElement('test', 5, 0)"), GlueError("O2DGUI_AddNewElement", 2));
  EXPECT_EQ(Call("O2DGUI_GetElementID(1)"), GlueError("O2DGUI_GetElementID", 1));
  EXPECT_EQ(Call("O2DGUI_ExecuteElementCommand('A', 1, 'soon')"), GlueError("O2DGUI_ExecuteElementCommand", 3));
  EXPECT_EQ(Call("O2DGUI_ExecuteElementCommand('A', '1')"), GlueError("O2DGUI_ExecuteElementCommand", 2));
  EXPECT_EQ(Call("O2DGUI_SetCurTip(nil)"), GlueError("O2DGUI_SetCurTip", 1));
  const std::string setCombination =
      "2 0: Error in glue function glue_O2DGUI_SetElementParam: invalid combination of arguments!";
  EXPECT_EQ(Call("O2DGUI_SetElementParam('A', 'coords', 1, 2, 3)"), setCombination);
  EXPECT_EQ(Call("O2DGUI_SetElementParam('A', 'coords', 1, 2, 3, '4')"), setCombination);
  EXPECT_EQ(Call("O2DGUI_SetElementParam(true, 'visible', true)"), setCombination);
  EXPECT_EQ(Call("O2DGUI_GetElementParam('A', nil)"),
            "2 0: Error in glue function glue_O2DGUI_GetElementParam: invalid combination of arguments!");
  // Forms that pass the glue meet the element's own type checks and the manager's refusals.
  EXPECT_EQ(Call("O2DGUI_SetElementParam('A', 6, 1)"), "1 0: CGUIValue error: current type is not boolean!");
  EXPECT_EQ(Call("O2DGUI_SetElementParam('A', 'coords', 1, 2)"), "1 0: CGUIValue error: current type is not GUIRECT!");
  EXPECT_EQ(Call("O2DGUI_SetElementParam('Z', 'visible', true)"),
            "2 0: Cannot set element param: invalid element ID! Element ID = Z");
  m_gui->RegisterAction("NATIVE", [] {});
  Load(R"(<desktop><test id="A" on_press="NATIVE"/></desktop>)");
  EXPECT_EQ(static_cast<CActionElement*>(Element("A"))->m_press.iKind, GUIACTION_NATIVE);
  EXPECT_EQ(Call("O2DGUI_GetElementParam('A', 'on_press')"),
            "2 0: Error in glue function glue_O2DGUI_GetElementParam: invalid value type!");
}

}  // namespace
