// The GUI manager's element tree, walks, tips and delayed commands, with a
// test class standing in for the standard classes.
#include "gui_fixture.h"

namespace {

// Records its updates and draws into a shared trace.
std::string g_trace;
class CTestElement : public CGUIElement {
 public:
  using CGUIElement::CGUIElement;
  static CGUIElement* Create(const std::string& id) { return new CTestElement(id); }
  void Update(const GUIRECT& r, const GUIRECT& c, bool v, bool e, float sx, float sy) override {
    g_trace += "u" + GetID() + " ";
    CGUIElement::Update(r, c, v, e, sx, sy);
  }
  void Draw() override {
    if (IsEffectiveVisible()) g_trace += "d" + GetID() + " ";
    CGUIElement::Draw();
  }
  void SetParam(int32_t iID, const CGUIValue& value) override {
    g_trace += "p" + std::to_string(iID) + " ";
    CGUIElement::SetParam(iID, value);
  }
  void ExecuteCommand(int32_t command) override {
    g_trace += "c" + std::to_string(command) + GetID() + " ";
    CGUIElement::ExecuteCommand(command);
  }
};

class GUITreeTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    Start();
    m_gui->RegisterClass(&CTestElement::Create, "test");
    g_trace.clear();
  }
  int32_t Add(const std::string& id, int32_t parent = 0) { return m_gui->AddElement("test", id, parent); }
};

TEST_F(GUITreeTest, AddRefusalsInTheirOrder) {
  EXPECT_EQ(m_gui->GetElementIndex("DESKTOP"), 0);
  EXPECT_EQ(Add("A"), 1);
  EXPECT_EQ(Raised([&] { Add("B", -1); }), "2 0: Cannot add GUI element: invalid parent ID! Parent ID = -1");
  EXPECT_EQ(Raised([&] { Add("B", 2); }), "2 0: Cannot add GUI element: invalid parent ID! Parent ID = 2");
  EXPECT_EQ(Raised([&] { m_gui->AddElement("nosuch", "B", 0); }),
            "2 0: Cannot add GUI element: invalid class! Class ID = nosuch Element ID = B");
  EXPECT_EQ(Raised([&] { Add("DESKTOP"); }), "2 0: Cannot add GUI element: dublicated element ID! Element ID = DESKTOP");
  EXPECT_EQ(Raised([&] { Add(""); }), "2 0: Cannot add GUI element: element ID is null string!");
  EXPECT_EQ(m_gui->GetElementCount(), 2);
}

TEST_F(GUITreeTest, ParameterAndCommandRefusals) {
  Add("A");
  auto set = [&](auto id, auto param, CGUIValue v) { return Raised([&] { m_gui->SetElementParam(id, param, v); }); };
  auto get = [&](auto id, auto param) { return Raised([&] { CGUIValue v; m_gui->GetElementParam(id, param, v); }); };
  EXPECT_EQ(set(7, GUIP_VISIBLE, CGUIValue(true)), "2 0: Cannot set element param: invalid element ID! Element ID = 7");
  EXPECT_EQ(set("NONE", GUIP_VISIBLE, CGUIValue(true)),
            "2 0: Cannot set element param: invalid element ID! Element ID = NONE");
  EXPECT_EQ(set("A", "Visible", CGUIValue(true)), "2 0: Cannot set element param: invalid param ID! Param ID = Visible");
  EXPECT_EQ(get(-1, "visible"), "2 0: Cannot get element param: invalid element ID! Element ID = -1");
  EXPECT_EQ(get("A", "nope"), "2 0: Cannot get element param: invalid param ID! Param ID = nope");
  EXPECT_EQ(set("A", GUIP_TEXT, CGUIValue("x")), "2 0: Cannot set GUI element param: unknown ID! ID = 53  Element ID = A");
  EXPECT_EQ(get("A", GUIP_TEXT), "2 0: Cannot get GUI element param: unknown ID! ID = 53  Element ID = A");
  EXPECT_EQ(Raised([&] { m_gui->ExecuteElementCommand("A", 99); }),
            "2 0: Cannot execute GUI element command: unknown ID! ID = 99  Element ID = A");
  EXPECT_EQ(Raised([&] { m_gui->ExecuteElementCommand("B", 1); }),
            "2 0: Cannot pass command to element: invalid element ID! Element ID = B");
  // No conversion between value types; integers come back as floats.
  EXPECT_EQ(set("A", "visible", CGUIValue(1.0f)), "1 0: CGUIValue error: current type is not boolean!");
  EXPECT_EQ(Raised([] { CGUIValue("5").GetFloat(); }), "1 0: CGUIValue error: current type is not float!");
  m_gui->SetElementParam(1, GUIP_ZORDER, CGUIValue(-2.9f));
  EXPECT_EQ(Param("A", "zorder").GetFloat(), -2.0f);
  EXPECT_EQ(Raised([&] { m_gui->RegisterParam("visible", 200, GUIVT_BOOLEAN); }),
            "2 0: Dublicated GUI Element parameter(strID)! strID = visible iID = 200");
  EXPECT_EQ(Raised([&] { m_gui->RegisterParam("shown", 6, GUIVT_BOOLEAN); }),
            "2 0: Dublicated GUI Element parameter(iID)! strID = shown iID = 6");
  EXPECT_EQ(Raised([&] { m_gui->RegisterClass(&CTestElement::Create, "test"); }),
            "2 0: Dublicated GUI Element class !ID = test");
  m_gui->RegisterAction("ACT", [] {});
  EXPECT_EQ(Raised([&] { m_gui->RegisterAction("ACT", [] {}); }), "2 0: Dublicated C++ Action function! ID = ACT");
  EXPECT_EQ(Raised([&] { CGUIElement("X").SetParent(m_gui->GetElement(1)); }), "<no error>");
  EXPECT_EQ(Raised([&] { m_gui->GetElement(1)->SetParent(m_gui->GetElement(0)); }), "<no error>");
  CGUIElement* a = m_gui->GetElement(1);
  CGUIElement other("Y");
  EXPECT_EQ(Raised([&] { a->SetParent(&other); }),
            "2 0: Error in setting GUI element parent: possible element dublication!");
}

TEST_F(GUITreeTest, DelayedCommandRunsInTheFrameItsTimeIsReachedBeforeTheTree) {
  Add("A");
  m_gui->SetElementParam("A", "visible", CGUIValue(true));
  m_gui->ExecuteElementCommand("A", GUICMD_HIDE, 0.5f);
  m_gui->ExecuteElementCommand("A", GUICMD_ENABLE);  // no delay: at once
  EXPECT_TRUE(Element("A")->IsEnabled());
  g_trace.clear();
  Frame(0.25f);
  EXPECT_EQ(g_trace, "uA dA ");
  g_trace.clear();
  Frame(0.25f);
  EXPECT_EQ(g_trace, "c2A uA ");
}

TEST_F(GUITreeTest, ZOrderSortsSiblingsStablyAndHiddenParentsStillUpdateChildren) {
  Load(R"(<desktop><test id="A" visible="1"/><test id="B" visible="1"/><test id="C" visible="1"/>
            <test id="D" visible="1"/><test id="E" visible="1"/></desktop>)");
  m_gui->SetElementParam("A", "zorder", CGUIValue(5.0f));  // siblings are sorted when a z-order is set
  m_gui->SetElementParam("B", "zorder", CGUIValue(1.0f));
  m_gui->SetElementParam("C", "zorder", CGUIValue(3.0f));
  g_trace.clear();
  Frame();
  // D and E (z-order 0) keep their creation order in front.
  EXPECT_EQ(g_trace, "uD uE uB uC uA dD dE dB dC dA ");

  Load(R"(<desktop><test id="P" enabled="1"><test id="K" visible="1" enabled="1"/></test></desktop>)");
  g_trace.clear();
  Frame();
  EXPECT_NE(g_trace.find("uP uK "), std::string::npos);
  EXPECT_EQ(g_trace.find("dK"), std::string::npos);
  EXPECT_FALSE(Element("K")->IsEffectiveVisible());
  EXPECT_TRUE(Element("K")->IsEffectiveEnabled());
  // Neither visible nor enabled: the children are not visited at all.
  m_gui->SetElementParam("P", "enabled", CGUIValue(false));
  g_trace.clear();
  Frame();
  EXPECT_EQ(g_trace.find("uK"), std::string::npos);
}

TEST_F(GUITreeTest, EffectiveValuesAndTheInnermostTipWithItsTiming) {
  Load(R"(<desktop><test id="TA"/><test id="TB"/>
            <test id="A" coords="100 50 200 100" color="0.5 1 1 0.5" visible="1" tip="TA">
            <test id="B" coords="10 10 20 20" color="1 0.5 1 1" visible="1" tip="TB"/></test></desktop>)");
  Frame();
  const GUIRECT r = Element("B")->GetEffectiveRect(), c = Element("B")->GetEffectiveColor();
  EXPECT_EQ(std::vector<float>({r.x, r.y, r.width, r.height}), std::vector<float>({110, 60, 20, 20}));
  EXPECT_EQ(std::vector<float>({c.x, c.y, c.width, c.height}), std::vector<float>({0.5f, 0.5f, 1, 0.5f}));

  MoveTo(115, 65);  // over B, inside A: the child, visited later, wins
  Frame(0.25f);
  EXPECT_EQ(m_gui->GetCurTip(), m_gui->GetElementIndex("TB"));
  MoveTo(250, 120);  // A only: the tip changes, its second restarts
  Frame(0.25f);
  EXPECT_EQ(m_gui->GetCurTip(), m_gui->GetElementIndex("TA"));
  EXPECT_FLOAT_EQ(m_gui->GetTipCountdown(), 0.75f);
  g_trace.clear();
  Frames(3, 0.25f);
  EXPECT_EQ(m_gui->GetTipCountdown(), 0.0f);
  EXPECT_NE(g_trace.find("c1TA uTA"), std::string::npos);
  EXPECT_NE(g_trace.find("dTA"), std::string::npos);  // drawn last, over everything
  MoveTo(251, 120);  // one pixel restarts the delay
  Frame(0.25f);
  EXPECT_FLOAT_EQ(m_gui->GetTipCountdown(), 0.75f);
  Button(SDL_BUTTON_RIGHT, true);  // the right button shows it at once
  g_trace.clear();
  Frame(0.25f);
  EXPECT_EQ(m_gui->GetTipCountdown(), 0.0f);
  EXPECT_NE(g_trace.find("c1TA"), std::string::npos);
  Button(SDL_BUTTON_RIGHT, false), MoveTo(700, 500), Frame();
  EXPECT_EQ(m_gui->GetCurTip(), -1);
  EXPECT_EQ(m_gui->GetTipCountdown(), 1.0f);
}

TEST_F(GUITreeTest, ActionsReachLuaAndNativeFunctionsWithTheirArguments) {
  Recording({"NATIVE"});
  CGUIAction native;
  native.Set(CGUIValue(m_gui->FindAction("NATIVE")));
  m_gui->ExecuteAction(native, {CGUIValue(2.0f), CGUIValue(GUIRECT{1, 2, 3, 4}), CGUIValue(true)});
  EXPECT_EQ(Calls(), Strings{"NATIVE 2 1 2 3 4 1"});
  EXPECT_TRUE(m_gui->GetActionArgs().empty());

  Lua("function OnEvent(a, b, c, d, e, f) got = a..' '..b..' '..c..' '..d..' '..e..' '..tostring(f) end "
      "function Got() return got end");
  CGUIAction lua;
  lua.Set(CGUIValue("OnEvent"));
  m_gui->ExecuteAction(lua, {CGUIValue(7.0f), CGUIValue(GUIRECT{1, 2, 3, 4}), CGUIValue(false)});
  m_engine->CallLuaFunction("Got", -1);
  EXPECT_EQ(m_engine->ScrGetResults().at(0).GetString(), "7 1 2 3 4 false");

  CGUIAction none;
  none.Set(CGUIValue(1.0f));  // neither a name nor a function: stays unset
  EXPECT_FALSE(none.IsSet());
  EXPECT_EQ(Raised([&] { m_gui->ExecuteAction(none); }), "2 0: Unknown action type!");
}

}  // namespace
