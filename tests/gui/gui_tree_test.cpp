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

}  // namespace
