#include "o2dgui_cguielement_main.h"

#include <cmath>
#include <limits>
#include <utility>

#include "costrak.h"
#include "costrak_utils_demand.h"
#include "o2dgui_bezier.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_CGUIELEMENT_MAIN;

CGUIElement::CGUIElement(std::string id) : m_strID(std::move(id)) {}

CGUIElement::~CGUIElement() = default;

void CGUIElement::SetParent(CGUIElement* parent) {
  EHS_CP();
  if (m_pParent != nullptr && m_pParent != parent)
    EHS_RAISE(EHS_GAME, 0, "Error in setting GUI element parent: possible element dublication!");
  if (m_pParent == parent || parent == nullptr) return;
  m_pParent = parent;
  parent->m_children.push_back(this);
}

void CGUIElement::UpdateChildren() {
  for (CGUIElement* child : m_children)
    child->Update(m_effRect, m_effColor, m_bEffVisible, m_bEffEnabled, 0.0f, 0.0f);
}

int32_t CGUIElement::TruncToInt(float value) {
  // Truncation toward zero, without undefined behaviour for NaN or huge values.
  if (!(value > -2147483648.0f)) return value != value ? 0 : std::numeric_limits<int32_t>::min();
  if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

int32_t CGUIElement::TextureFromValue(const CGUIValue& value) {
  if (value.GetType() == GUIVT_STRING) return O2DUTIL_DemandTexture(value.GetString().c_str());
  return TruncToInt(value.GetFloat());
}

int32_t CGUIElement::TechniqueFromValue(const CGUIValue& value) {
  if (value.GetType() == GUIVT_STRING) return O2D_GetEngine()->GetTechniqueIID(value.GetString().c_str());
  return TruncToInt(value.GetFloat());
}

int32_t CGUIElement::SoundFromValue(const CGUIValue& value) {
  if (value.GetType() == GUIVT_STRING) return O2DUTIL_DemandSound(value.GetString().c_str());
  return TruncToInt(value.GetFloat());
}

void CGUIElement::PlaySound(int32_t sound) {
  if (sound != -1) O2D_GetEngine()->SoundPlay(sound, false, -1, -1, -101);
}

void CGUIElement::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_ZORDER:
      m_iZOrder = TruncToInt(value.GetFloat());
      if (m_pParent) m_pParent->SortSiblings();
      break;
    case GUIP_COORDS:
      m_rcCoords = value.GetRect();
      m_effRect = m_rcCoords;
      break;
    case GUIP_TECHNIQUE:
      m_iTechnique = TechniqueFromValue(value);
      break;
    case GUIP_TEXTURE:
      m_iTexture = TextureFromValue(value);
      break;
    case GUIP_COLOR:
      m_color = value.GetRect();
      m_effColor = m_color;
      break;
    case GUIP_VISIBLE:
      m_bVisible = value.GetBool();
      break;
    case GUIP_ENABLED:
      m_bEnabled = value.GetBool();
      break;
    case GUIP_TIP:
      if (value.GetType() == GUIVT_STRING) {
        COstrakGUI* gui = COstrakGUI::GetInstance();
        const std::string& tipID = value.GetString();
        int32_t index = gui->GetElementIndex(tipID);
        if (index == -1) index = gui->AddElement("tip", tipID, 0);
        m_iTip = index;
      } else {
        m_iTip = TruncToInt(value.GetFloat());
      }
      break;
    case GUIP_TAG:
      m_iTag = TruncToInt(value.GetFloat());
      break;
    default:
      EHS_RAISE(EHS_GAME, 0,
                "Cannot set GUI element param: unknown ID! ID = " + std::to_string(iID) + "  Element ID = " + m_strID);
  }
}

CGUIValue CGUIElement::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_ZORDER: return CGUIValue(static_cast<float>(m_iZOrder));
    case GUIP_COORDS: return CGUIValue(m_rcCoords);
    case GUIP_TECHNIQUE: return CGUIValue(static_cast<float>(m_iTechnique));
    case GUIP_TEXTURE: return CGUIValue(static_cast<float>(m_iTexture));
    case GUIP_COLOR: return CGUIValue(m_color);
    case GUIP_VISIBLE: return CGUIValue(m_bVisible);
    case GUIP_ENABLED: return CGUIValue(m_bEnabled);
    case GUIP_TIP: return CGUIValue(static_cast<float>(m_iTip));
    case GUIP_TAG: return CGUIValue(static_cast<float>(m_iTag));
    default:
      EHS_RAISE(EHS_GAME, 0,
                "Cannot get GUI element param: unknown ID! ID = " + std::to_string(iID) + "  Element ID = " + m_strID);
  }
}

void CGUIElement::ExecuteCommand(int32_t command) {
  EHS_CP();
  switch (command) {
    case GUICMD_SHOW: m_bVisible = true; break;
    case GUICMD_HIDE: m_bVisible = false; break;
    case GUICMD_ENABLE: m_bEnabled = true; break;
    case GUICMD_DISABLE: m_bEnabled = false; break;
    default:
      EHS_RAISE(EHS_GAME, 0,
                "Cannot execute GUI element command: unknown ID! ID = " + std::to_string(command) +
                    "  Element ID = " + m_strID);
  }
}

void CGUIElement::UpdateEffective(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                                  bool parentEnabled, float scrollX, float scrollY) {
  m_effColor = O2DGUI_Modulate(parentColor, m_color);
  m_effRect = PlaceInParent(m_rcCoords, parentRect, scrollX, scrollY);
  m_bEffVisible = m_bVisible && parentVisible;
  m_bEffEnabled = m_bEnabled && parentEnabled;
}

bool CGUIElement::CursorIn(const GUIRECT& rect) {
  int32_t x = 0, y = 0;
  O2D_GetEngine()->MouseGetCursorPos(x, y);
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  return fx >= rect.x && fx < rect.x + rect.width && fy >= rect.y && fy < rect.y + rect.height;
}

// The later an element is visited, the more it wins: children over parents,
// later siblings over earlier ones.
void CGUIElement::CheckTip(const GUIRECT& rect) const {
  if (m_bEffVisible && m_iTip != -1 && CursorIn(rect)) COstrakGUI::GetInstance()->SetCurTip(m_iTip);
}

void CGUIElement::UpdateChildrenIfActive() {
  if (!m_children.empty() && (m_bEffVisible || m_bEffEnabled)) UpdateChildren();
}

void CGUIElement::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                         bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  CheckTip();
  UpdateChildrenIfActive();
}

void CGUIElement::DrawChildren() {
  if (!m_bEffVisible) return;
  for (CGUIElement* child : m_children) child->Draw();
}

void CGUIElement::Draw() { DrawChildren(); }

void CGUIElement::ClipToEffectiveRect() const {
  O2D_GetEngine()->SceneSetViewport(TruncToInt(m_effRect.x), TruncToInt(m_effRect.y), TruncToInt(m_effRect.width),
                                    TruncToInt(m_effRect.height));
}

void CGUIElement::ClipToScreen() {
  O2D_GetEngine()->SceneSetViewport(0, 0, O2DGUI_GetScreenWidth(), O2DGUI_GetScreenHeight());
}

void CGUIElement::RunAction(const CGUIAction& action) {
  if (action.IsSet()) COstrakGUI::GetInstance()->ExecuteAction(action);
}

// Neighbours swap only when the first has the strictly greater z-order, so
// equal z-orders keep their creation order.
void CGUIElement::SortSiblings() {
  const size_t n = m_children.size();
  for (size_t pass = 0; pass + 1 < n; ++pass) {
    bool swapped = false;
    for (size_t i = 0; i + 1 < n - pass; ++i) {
      if (m_children[i]->m_iZOrder > m_children[i + 1]->m_iZOrder) {
        std::swap(m_children[i], m_children[i + 1]);
        swapped = true;
      }
    }
    if (!swapped) break;
  }
}
