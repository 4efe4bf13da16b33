// GUI data from XML: element trees ("desktop"), enums ("guienum") and styles
// ("guistyle"), each a resource type of its own, and the text forms of values.
#include <string_view>

#include "costrak.h"
#include "costrak_xml.h"
#include "o2dgui_cguielement_main.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_COSTRAKGUI_XMLLOAD;

namespace {

void ParseResource(CXMLDocument& doc, const void* data, uint32_t size) {
  doc.LoadFromBuffer(data, static_cast<int32_t>(size > 0x7fffffffu ? 0x7fffffffu : size),
                     O2D_GetXMLEncryptMode() ? 1 : 0);
  doc.Parse();
}

void LoadGUIDataResource(const void* data, uint32_t size, const char*, int32_t, int32_t, int32_t, int32_t) {
  EHS_CP();
  CXMLDocument doc;
  ParseResource(doc, data, size);
  COstrakGUI::Get().LoadGUIData(doc);
}

void LoadGUIEnumResource(const void* data, uint32_t size, const char* id, int32_t, int32_t, int32_t, int32_t) {
  EHS_CP();
  CXMLDocument doc;
  ParseResource(doc, data, size);
  COstrakGUI::Get().LoadEnum(doc, id);
}

void LoadGUIStyleResource(const void* data, uint32_t size, const char* id, int32_t, int32_t, int32_t, int32_t) {
  EHS_CP();
  CXMLDocument doc;
  ParseResource(doc, data, size);
  COstrakGUI::Get().LoadStyle(doc, id);
}

// Points and rects: a space followed by a non-space starts the next field, so
// runs of spaces are one separator and a single leading space leaves the first
// field empty. Fields past `count` are ignored; missing or empty ones read 0.
template <size_t N>
void ScanFields(const std::string& text, float (&out)[N]) {
  std::string fields[N];
  size_t field = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') {
      if (i + 1 < text.size() && text[i + 1] != ' ') ++field;
    } else if (field < N) {
      fields[field] += text[i];
    }
  }
  for (size_t i = 0; i < N; ++i) out[i] = XML_ReadFloat(fields[i], 0.0f);
}

}  // namespace

void O2DGUI_RegisterResourceLoaders() {
  EHS_CP();
  COstrak* engine = O2D_GetEngine();
  EHS_ASSERT(engine);
  engine->RegisterLoadRes(&LoadGUIDataResource, "GUIDATA");
  engine->RegisterLoadRes(&LoadGUIEnumResource, "GUIENUMDATA");
  engine->RegisterLoadRes(&LoadGUIStyleResource, "GUISTYLEDATA");
}

void COstrakGUI::LoadGUIData(CXMLDocument& doc) {
  EHS_CP();
  if (doc.root.name != "desktop") EHS_RAISE(EHS_GAME, 0, "Cannot load GUI data from XML file: invalid root node name!");
  for (int32_t i = 0; i < doc.root.GetChildCount(); ++i) ProcessElementNode(*doc.root.GetChildNode(i), 0);
}

void COstrakGUI::ProcessElementNode(const CXMLNode& node, int32_t parentIndex) {
  EHS_CP();
  const std::string& id = node.GetAttribute("id");
  // An ID that exists addresses that element, whatever the node's name: later
  // data adds parameters and children to elements declared earlier.
  int32_t index = GetElementIndex(id);
  if (index == -1) index = AddElement(node.name, id, parentIndex);

  // Attributes apply in the order the text gives them, so a parameter after a
  // style overrides the style and one before it is overridden.
  for (const std::string& name : node.attributeOrder) {
    if (name == "id") continue;
    const std::string& text = node.GetAttribute(name);
    if (name.starts_with("style")) {
      DemandStyle(text)->ApplyToElement(index);
      continue;
    }
    int32_t iID = 0;
    CGUIValue value = ProcessParam(name, text, iID);
    SetElementParam(index, iID, value);
  }
  for (int32_t i = 0; i < node.GetChildCount(); ++i) ProcessElementNode(*node.GetChildNode(i), index);
}

CGUIValue COstrakGUI::ProcessParam(const std::string& name, const std::string& text, int32_t& iID) {
  EHS_CP();
  const GUIParamInfo* info = FindParam(name);
  if (!info) EHS_RAISE(EHS_GAME, 0, "Cannot process GUI element param: invalid param name! Param name = " + name);
  iID = info->iID;
  if (text.empty()) {
    COstrak::LOG_AddEntry("Cannot process GUI element param: value string is empty!", 5);
    return CGUIValue();
  }
  switch (info->type) {
    case GUIVT_FLOAT: return CGUIValue(XML_ReadFloat(text, 0.0f));
    case GUIVT_BOOLEAN: return CGUIValue(text == "1" || text == "true");
    case GUIVT_STRING: return CGUIValue(text);
    case GUIVT_FUNCTION:
      if (O2DGUIActionFn fn = FindAction(text)) return CGUIValue(fn);
      return CGUIValue(text);
    case GUIVT_POINT: {
      float f[2];
      ScanFields(text, f);
      return CGUIValue(GUIPOINT{f[0], f[1]});
    }
    case GUIVT_RECT: {
      float f[4];
      ScanFields(text, f);
      return CGUIValue(GUIRECT{f[0], f[1], f[2], f[3]});
    }
    case GUIVT_ENUM: return CGUIValue(DemandEnum(text));
    default: EHS_RAISE(EHS_GAME, 0, "Cannot process GUI element param: invalid param type id!");
  }
}

CGUIEnum* COstrakGUI::DemandEnum(const std::string& id) {
  EHS_CP();
  int32_t slot = m_enums->FindByStrID(id);
  if (slot == -1) {
    O2D_GetEngine()->LoadResource(id.c_str());
    slot = m_enums->FindByStrID(id);
  }
  if (slot == -1) EHS_RAISE(EHS_GAME, 0, "Cannot find GUIENUM data! ID = " + id);
  return m_enums->GetItem(slot);
}

CGUIStyle* COstrakGUI::DemandStyle(const std::string& id) {
  EHS_CP();
  int32_t slot = m_styles->FindByStrID(id);
  if (slot == -1) {
    O2D_GetEngine()->LoadResource(id.c_str());
    slot = m_styles->FindByStrID(id);
  }
  if (slot == -1) EHS_RAISE(EHS_GAME, 0, "Cannot find GUISTYLE data! ID = " + id);
  return m_styles->GetItem(slot);
}

void COstrakGUI::LoadEnum(CXMLDocument& doc, const std::string& id) {
  EHS_CP();
  if (doc.root.name != "guienum")
    EHS_RAISE(EHS_GAME, 0, "Cannot load GUIENUM data from XML file: invalid root node name!");
  if (m_enums->FindByStrID(id) != -1) return;
  auto guiEnum = std::make_unique<CGUIEnum>();
  for (const std::string& name : doc.root.attributeOrder) guiEnum->AddEntry(name, doc.root.GetAttribute(name));
  m_enums->AddItem(guiEnum.release(), id, 0);
}

void COstrakGUI::LoadStyle(CXMLDocument& doc, const std::string& id) {
  EHS_CP();
  if (doc.root.name != "guistyle")
    EHS_RAISE(EHS_GAME, 0, "Cannot load GUISTYLE data from XML file: invalid root node name!");
  if (m_styles->FindByStrID(id) != -1) return;
  auto style = std::make_unique<CGUIStyle>();
  for (const std::string& name : doc.root.attributeOrder) {
    int32_t iID = 0;
    CGUIValue value = ProcessParam(name, doc.root.GetAttribute(name), iID);
    style->Add(iID, std::move(value));
  }
  m_styles->AddItem(style.release(), id, 0);
}
