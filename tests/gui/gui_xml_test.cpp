// GUI data, enums and styles from their resources, and the text forms of values.
// (Resource files are not named *.xml: those are the data folder's descriptors.)
#include "gui_fixture.h"

namespace {

std::string g_params;
class CTestElement : public CGUIElement {
 public:
  using CGUIElement::CGUIElement;
  static CGUIElement* Create(const std::string& id) { return new CTestElement(id); }
  void SetParam(int32_t iID, const CGUIValue& value) override {
    g_params += std::to_string(iID) + " ";
    CGUIElement::SetParam(iID, value);
  }
};

class GUIXMLTest : public GUITest {
 protected:
  void Begin(const std::string& entries) {
    Start(entries);
    m_gui->RegisterClass(&CTestElement::Create, "test");
    g_params.clear();
  }
  std::vector<float> Rect(const std::string& id, const std::string& param) {
    const GUIRECT r = Param(id, param).GetRect();
    return {r.x, r.y, r.width, r.height};
  }
};

TEST_F(GUIXMLTest, ResourcesLoadThroughTheRegistryInDocumentOrderAndEncrypted) {
  // Stored as packs store XML; the styles load on demand while the element is read.
  auto write = [](const char* path, std::string xml) {
    XML_TransformBytes(xml.data(), xml.size());
    WriteFileBytes(path, xml);
  };
  write("DATA/st.gui", R"(<guistyle visible="0" color="1 0 0 1"/>)");
  write("DATA/st2.gui", R"(<guistyle coords="1 2 3 4"/>)");
  write("DATA/gui.gui", R"(<desktop><test id="A" visible="1" style="ST" style2="ST2" coords="5 6 7 8">
                         <test id="B" color="0 1 0 1" style="ST"><test id="C"/></test></test></desktop>)");
  Begin(Res("GUI_MAIN", "gui.gui", "GUIDATA") + Res("ST", "st.gui", "GUISTYLEDATA") +
        Res("ST2", "st2.gui", "GUISTYLEDATA"));
  auto loadPacked = [&] { O2D_SetXMLEncryptMode(true), m_engine->LoadResource("GUI_MAIN"), O2D_SetXMLEncryptMode(false); };
  loadPacked();
  // A: visible 1, then the style (visible 0, colour), the second style, then coords.
  EXPECT_EQ(g_params.substr(0, 15), "6 6 5 2 2 5 6 5");  // then B: colour, the style
  EXPECT_FALSE(Param("A", "visible").GetBool());
  EXPECT_EQ(Rect("A", "coords"), std::vector<float>({5, 6, 7, 8}));
  EXPECT_EQ(Rect("B", "color"), std::vector<float>({1, 0, 0, 1}));  // the style overrides what came before
  EXPECT_EQ(m_gui->GetElement(m_gui->GetElementIndex("C"))->GetParent(), Element("B"));

  // Loading again is additive: the same elements, their parameters set again.
  loadPacked();
  EXPECT_EQ(m_gui->GetElementCount(), 4);
  // A later desktop addresses existing elements, the root included, whatever their node names.
  Load(R"(<desktop><desktop id="DESKTOP" visible="0"/><label id="A" visible="1"><test id="D"/></label></desktop>)");
  EXPECT_FALSE(Element("DESKTOP")->IsVisible());
  EXPECT_TRUE(Param("A", "visible").GetBool());
  EXPECT_EQ(Element("D")->GetParent(), Element("A"));
}

TEST_F(GUIXMLTest, TextFormsOfValues) {
  Begin("");
  m_gui->RegisterAction("BTN_X_ONPRESS", [] {});
  Load(R"(<desktop><test id="A" coords="1  2 3   4" color=" 5 6 7 8 9" visible="True" enabled="true"/>
                   <test id="B" coords="-10" visible="1" zorder="2.9xyz" tag="-3"/></desktop>)");
  EXPECT_EQ(Rect("A", "coords"), std::vector<float>({1, 2, 3, 4}));
  EXPECT_EQ(Rect("A", "color"), std::vector<float>({0, 5, 6, 7}));  // a leading space leaves the first field empty
  EXPECT_EQ(Rect("B", "coords"), std::vector<float>({-10, 0, 0, 0}));
  EXPECT_FALSE(Param("A", "visible").GetBool());
  EXPECT_TRUE(Param("A", "enabled").GetBool());
  EXPECT_TRUE(Param("B", "visible").GetBool());
  EXPECT_EQ(Param("B", "zorder").GetFloat(), 2.0f);
  EXPECT_EQ(Param("B", "tag").GetFloat(), -3.0f);

  int32_t iID = 0;
  EXPECT_EQ(m_gui->ProcessParam("on_press", "BTN_X_ONPRESS", iID).GetFunction(), m_gui->FindAction("BTN_X_ONPRESS"));
  EXPECT_EQ(iID, GUIP_ON_PRESS);
  EXPECT_EQ(m_gui->ProcessParam("on_press", "LuaFunction", iID).GetString(), "LuaFunction");
  EXPECT_EQ(m_gui->ProcessParam("location_shown", "3 4", iID).GetPoint().y, 4.0f);
  // An empty value is logged and then refused by the element as the wrong type.
  EXPECT_EQ(Raised([&] { Load(R"(<desktop><test id="A" visible=""/></desktop>)"); }),
            "1 0: CGUIValue error: current type is not boolean!");
  EXPECT_TRUE(LogHas("Cannot process GUI element param: value string is empty!"));
}

TEST_F(GUIXMLTest, EnumsLoadOnceAndEveryRefusal) {
  WriteFileBytes("DATA/en.gui", R"(<guienum a="X" c="Z" b="Y"/>)");
  WriteFileBytes("DATA/bad.gui", R"(<guistyle Visible="1"/>)");
  Begin(Res("EN", "en.gui", "GUIENUMDATA") + Res("BADSTYLE", "bad.gui", "GUISTYLEDATA"));
  int32_t iID = 0;
  CGUIEnum* frames = m_gui->ProcessParam("enum_frames", "EN", iID).GetEnum();
  ASSERT_EQ(frames->GetCount(), 3);
  EXPECT_EQ(frames->GetValue(0) + frames->GetValue(1) + frames->GetValue(2), "XZY");  // document order
  CXMLDocument again;
  again.LoadFromBuffer(R"(<guienum q="Q"/>)", 16, 0);
  again.Parse();
  m_gui->LoadEnum(again, "EN");
  EXPECT_EQ(m_gui->DemandEnum("EN"), frames);
  EXPECT_EQ(frames->GetCount(), 3);

  auto load = [&](const std::string& xml) { return Raised([&] { Load(xml); }); };
  EXPECT_EQ(load("<Desktop/>"), "2 0: Cannot load GUI data from XML file: invalid root node name!");
  EXPECT_EQ(load(R"(<desktop><test id="A" mystyle="X"/></desktop>)"),
            "2 0: Cannot process GUI element param: invalid param name! Param name = mystyle");
  EXPECT_EQ(load(R"(<desktop><test id="B" style="NOSTYLE"/></desktop>)"), "2 0: Cannot find GUISTYLE data! ID = NOSTYLE");
  EXPECT_EQ(load(R"(<desktop><test id="C" styleX="BADSTYLE"/></desktop>)"),
            "2 0: Cannot process GUI element param: invalid param name! Param name = Visible");
  EXPECT_EQ(load(R"(<desktop><test visible="1"/></desktop>)"), "2 0: Cannot add GUI element: element ID is null string!");
  EXPECT_EQ(Raised([&] { m_gui->ProcessParam("enum_frames", "NOENUM", iID); }), "2 0: Cannot find GUIENUM data! ID = NOENUM");
  CXMLDocument wrong;
  wrong.LoadFromBuffer("<guistyle/>", 11, 0);
  wrong.Parse();
  EXPECT_EQ(Raised([&] { m_gui->LoadEnum(wrong, "W"); }),
            "2 0: Cannot load GUIENUM data from XML file: invalid root node name!");
  EXPECT_EQ(Raised([&] { m_gui->LoadStyle(again, "W"); }),
            "2 0: Cannot load GUISTYLE data from XML file: invalid root node name!");
  // An empty style warns and changes nothing.
  m_gui->LoadStyle(wrong, "EMPTY");
  Load(R"(<desktop><test id="E" style="EMPTY"/></desktop>)");
  EXPECT_TRUE(LogHas("Warning: an empty GUI style!"));
}

}  // namespace
