#include "costrak_utils_cxmlvar.h"

#include <algorithm>
#include <limits>
#include <map>
#include <new>
#include <string>

#include "costrak.h"
#include "costrak_xml.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_UTILS_CXMLVAR;

namespace {
using XMLVarsMap = std::map<std::string, CXMLVar*, std::less<>>;

// Variables are static objects in several files, constructed in no fixed order:
// the registry is a constant-initialised pointer, created by the first
// construction and deleted when the last registered variable goes.
XMLVarsMap* g_pXMLVarsMap = nullptr;
}  // namespace

CXMLVar::CXMLVar(const char* name) {
  EHS_CP();
  EHS_ASSERT(name);
  CreateXMLVarsMap();
  if (g_pXMLVarsMap->count(std::string_view(name)) != 0)
    EHS_RAISE(EHS_GAME, 0,
              // clang-format off
              std::string("Error in CXMLVar::CXMLVar(const char* fp_pszID). An object with same ID already exists! ID = ") + name);
  // clang-format on
  g_pXMLVarsMap->emplace(name, this);
}

CXMLVar::~CXMLVar() {
  if (!g_pXMLVarsMap) return;
  // The variable keeps no copy of its name: find its entry by address.
  auto it = std::find_if(g_pXMLVarsMap->begin(), g_pXMLVarsMap->end(),
                         [this](const auto& entry) { return entry.second == this; });
  if (it != g_pXMLVarsMap->end()) g_pXMLVarsMap->erase(it);
  if (g_pXMLVarsMap->empty()) {
    delete g_pXMLVarsMap;
    g_pXMLVarsMap = nullptr;
  }
}

void CXMLVar::CreateXMLVarsMap() {
  EHS_CP();
  if (g_pXMLVarsMap) return;
  g_pXMLVarsMap = new (std::nothrow) XMLVarsMap();
  if (!g_pXMLVarsMap) EHS_RAISE(EHS_GENERAL, 0, "Error in CXMLVar::CreateXMLVarsMap(). Cannot create IDs map!");
}

void CXMLVar::SetVarByName(std::string_view name, const char* value) {
  EHS_CP();
  if (!g_pXMLVarsMap) return;
  auto it = g_pXMLVarsMap->find(name);
  if (it == g_pXMLVarsMap->end()) {
    COstrak::LOG_AddEntry("Warning: unused xml variable: " + std::string(name), 5);
    return;
  }
  it->second->SetValue(value ? value : "");
}

void CXMLVarInt::SetValue(const char* text) {
  EHS_CP();
  // A text that is no number stores nothing.
  m_iValue = XML_ReadInt(text ? text : "", m_iValue);
}

void CXMLVarFloat::SetValue(const char* text) {
  EHS_CP();
  m_fValue = XML_ReadFloat(text ? text : "", m_fValue);
}

void RESLOAD_XMLData(const void* data, uint32_t size) {
  EHS_CP();
  CXMLDocument doc;
  const uint32_t length = std::min<uint32_t>(size, static_cast<uint32_t>(std::numeric_limits<int32_t>::max()));
  doc.LoadFromBuffer(data, static_cast<int32_t>(length), O2D_GetXMLEncryptMode() ? 1 : 0);
  doc.Parse();
  if (doc.root.name != "xmldata") EHS_RAISE(EHS_GENERAL, 0, "Error in loading XMLData: invalid root node name!");
  if (doc.root.GetChildCount() == 0) {
    COstrak::LOG_AddEntry("Warning: empty xmldata file!", 5);
    return;
  }
  for (int32_t i = 0; i < doc.root.GetChildCount(); ++i) {
    CXMLNode* group = doc.root.GetChildNode(i);
    group->ResetAttribIterator();
    while (const char* name = group->GetCurrentAttribName()) {
      CXMLVar::SetVarByName(name, group->GetAttribute(name).c_str());
      group->NextAttrib();
    }
  }
}
