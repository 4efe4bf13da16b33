#include "costrak_utils_csmartid.h"

#include <map>
#include <new>

#include "costrak_ehs.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_UTILS_CSMARTID;

namespace {
using IDsMap = std::map<std::string, CSmartID*, std::less<>>;

// The game's IDs are static objects in several files, constructed in no fixed
// order: the registry is a constant-initialised pointer, created by the first
// construction and deleted when the last registered object goes, so no object
// ever reaches a destroyed registry.
IDsMap* g_pIDsMap = nullptr;
}  // namespace

CSmartID::CSmartID(const char* strID, int32_t resType) {
  EHS_CP();
  EHS_ASSERT(strID);
  m_strID = strID;
  m_iID = -1;
  m_iResType = resType;
  if (m_iResType == SMARTID_DETECT) DetectResType();
  CreateIDsMap();
  if (g_pIDsMap->count(m_strID) != 0)
    EHS_RAISE(EHS_GAME, 0,
              // clang-format off
              "Error in CSmartID::CSmartID(const char* fp_pszID, int fp_iResType). An object with same strID already exists! strID = " + m_strID);
  // clang-format on
  g_pIDsMap->emplace(m_strID, this);
}

CSmartID::~CSmartID() {
  if (!g_pIDsMap) return;
  auto it = g_pIDsMap->find(m_strID);
  if (it != g_pIDsMap->end() && it->second == this) g_pIDsMap->erase(it);
  if (g_pIDsMap->empty()) {
    delete g_pIDsMap;
    g_pIDsMap = nullptr;
  }
}

void CSmartID::DetectResType() {
  EHS_CP();
  if (m_strID.size() < 4)
    EHS_RAISE(EHS_GENERAL, 0, "Error in CSmartID::DetectResType : strID length is too small (<4)!");
  const std::string_view prefix = std::string_view(m_strID).substr(0, 3);
  if (prefix == "TEX")
    m_iResType = SMARTID_TEXTURE;
  else if (prefix == "TEQ")
    m_iResType = SMARTID_TECHNIQUE;
  else if (prefix == "FNT")
    m_iResType = SMARTID_FONT;
  else if (prefix == "SND")
    m_iResType = SMARTID_SOUND;
  else
    EHS_RAISE(EHS_GAME, 0, "Error in CSmartID::DetectResType : cannot detect res type! strID = " + m_strID);
}

void CSmartID::CreateIDsMap() {
  EHS_CP();
  if (g_pIDsMap) return;
  g_pIDsMap = new (std::nothrow) IDsMap();
  if (!g_pIDsMap) EHS_RAISE(EHS_GENERAL, 0, "Error in CSmartID::CreateIDsMap(). Cannot create IDs map!");
}

void CSmartID::SetIDByStrID(std::string_view strID, int32_t id) {
  EHS_CP();
  if (!g_pIDsMap) return;
  auto it = g_pIDsMap->find(strID);
  if (it != g_pIDsMap->end()) it->second->m_iID = id;
}

void CSmartID::ClearID(int32_t id, int32_t resType) {
  EHS_CP();
  if (!g_pIDsMap) return;
  for (auto& [key, sid] : *g_pIDsMap) {
    if (sid->m_iID == id && sid->m_iResType == resType) {
      sid->m_iID = -1;
      return;
    }
  }
}
