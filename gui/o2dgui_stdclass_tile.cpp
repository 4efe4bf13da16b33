#include "o2dgui_stdclass_tile.h"

#include <algorithm>

#include "costrak.h"
#include "costrak_ehs.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_TILE;

// ---- tile ---------------------------------------------------------------------------

CGUITile::CGUITile(std::string id) : CGUIElement(std::move(id)) { m_color = {1.0f, 1.0f, 1.0f, 1.0f}; }

void CGUITile::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_DRAWSCHEME:
      m_iDrawScheme = TruncToInt(value.GetFloat());
      break;
    case GUIP_DRAWPARAMS: {
      const GUIRECT& params = value.GetRect();
      // Written this way round so NaN is refused too: the borders divide by these.
      if (!(params.x > 0.0f)) EHS_RAISE(EHS_GENERAL, 0, "Invalid tile texture width!");
      if (!(params.y > 0.0f)) EHS_RAISE(EHS_GENERAL, 0, "Invalid tile texture height!");
      m_drawParams = params;
      m_fBorderU = params.width / params.x;
      m_fBorderV = params.height / params.y;
      break;
    }
    case GUIP_TEXCOORDS:
      m_texCoords = value.GetRect();
      break;
    default:
      CGUIElement::SetParam(iID, value);
  }
}

CGUIValue CGUITile::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_DRAWSCHEME: return CGUIValue(static_cast<float>(m_iDrawScheme));
    case GUIP_DRAWPARAMS: return CGUIValue(m_drawParams);
    case GUIP_TEXCOORDS: return CGUIValue(m_texCoords);
    default: return CGUIElement::GetParam(iID);
  }
}

void CGUITile::DrawQuad(float l, float t, float r, float b, float x, float y, float w, float h) {
  COstrak* engine = O2D_GetEngine();
  engine->VQuadSetTexCoords(1, l, t, r, b);
  engine->VQuadSetPos(x, y, w, h, 0.5f);
  engine->SceneRender();
}

void CGUITile::DrawScheme(const GUIRECT& rect) const {
  const float x = rect.x, y = rect.y, w = rect.width, h = rect.height;
  const float B = m_drawParams.width, H = m_drawParams.height;
  const float a = m_fBorderU, b = m_fBorderV;
  switch (m_iDrawScheme) {
    case GUIDS_STRETCH:
      DrawQuad(m_texCoords.x, m_texCoords.y, m_texCoords.width, m_texCoords.height, x, y, w, h);
      break;
    case GUIDS_ACROSS:
      DrawQuad(0, 0, a, 1, x, y, B, h);
      DrawQuad(a, 0, 1 - a, 1, x + B, y, w - 2 * B, h);
      DrawQuad(1 - a, 0, 1, 1, x + w - B, y, B, h);
      break;
    case GUIDS_DOWN:
      DrawQuad(0, 0, 1, b, x, y, w, H);
      DrawQuad(0, b, 1, 1 - b, x, y + H, w, h - 2 * H);
      DrawQuad(0, 1 - b, 1, 1, x, y + h - H, w, H);
      break;
    case GUIDS_NINE:
    case GUIDS_FRAME:
      DrawQuad(0, 0, a, b, x, y, B, H);
      DrawQuad(a, 0, 1 - a, b, x + B, y, w - 2 * B, H);
      DrawQuad(1 - a, 0, 1, b, x + w - B, y, B, H);
      DrawQuad(0, b, a, 1 - b, x, y + H, B, h - 2 * H);
      if (m_iDrawScheme == GUIDS_NINE) DrawQuad(a, b, 1 - a, 1 - b, x + B, y + H, w - 2 * B, h - 2 * H);
      DrawQuad(1 - a, b, 1, 1 - b, x + w - B, y + H, B, h - 2 * H);
      DrawQuad(0, 1 - b, a, 1, x, y + h - H, B, H);
      DrawQuad(a, 1 - b, 1 - a, 1, x + B, y + h - H, w - 2 * B, H);
      DrawQuad(1 - a, 1 - b, 1, 1, x + w - B, y + h - H, B, H);
      break;
    case GUIDS_NONE:
      break;
    case GUIDS_ACROSS_BAND:
      DrawQuad(0, b, a, 1 - b, x, y, B, h);
      DrawQuad(a, b, 1 - a, 1 - b, x + B, y, w - 2 * B, h);
      DrawQuad(1 - a, b, 1, 1 - b, x + w - B, y, B, h);
      break;
    case GUIDS_DOWN_BAND:
      DrawQuad(a, 0, 1 - a, b, x, y, w, H);
      DrawQuad(a, b, 1 - a, 1 - b, x, y + H, w, h - 2 * H);
      DrawQuad(a, 1 - b, 1 - a, 1, x, y + h - H, w, H);
      break;
    default:
      EHS_RAISE(EHS_GAME, 0, "Invalid drawing scheme. Scheme ID = " + std::to_string(m_iDrawScheme));
  }
}

void CGUITile::DrawTile(const GUIRECT& rect, int32_t texture) const {
  COstrak* engine = O2D_GetEngine();
  if (m_iTechnique != -1) engine->TechApply(m_iTechnique);
  if (texture != -1) engine->TexSet(texture, 0);
  engine->VQuadSetColor(m_effColor.x, m_effColor.y, m_effColor.width, m_effColor.height);
  DrawScheme(rect);
}

void CGUITile::Draw() {
  EHS_CP();
  if (!m_bEffVisible) return;
  DrawTile(m_effRect, m_iTexture);
  DrawChildren();
}

// ---- tip ----------------------------------------------------------------------------

CGUITip::CGUITip(std::string id) : CGUITile(std::move(id)) {}

void CGUITip::SetParent(CGUIElement* parent) {
  EHS_CP();
  if (m_pParent != nullptr && m_pParent != parent)
    EHS_RAISE(EHS_GAME, 0, "Error in setting GUI element parent: possible element dublication!");
  m_pParent = parent;
}

void CGUITip::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_TIPAPPEARTIME: {
      const float time = value.GetFloat();
      // The fade divides by it; NaN is treated as too small as well.
      m_fAppearTime = time > 0.0f ? time : 0.01f;
      break;
    }
    case GUIP_ON_SHOW:
      m_onShow.Set(value);
      break;
    default:
      CGUITile::SetParam(iID, value);
  }
}

CGUIValue CGUITip::GetParam(int32_t iID) {
  EHS_CP();
  if (iID == GUIP_TIPAPPEARTIME) return CGUIValue(m_fAppearTime);
  return CGUITile::GetParam(iID);
}

void CGUITip::ExecuteCommand(int32_t command) {
  EHS_CP();
  if (command == GUICMD_SHOW) {
    m_bVisible = true;
    m_bEnabled = true;
    m_effColor.height = 0.0f;
    m_fCountdown = m_fAppearTime;
    RunAction(m_onShow);
  }
  CGUITile::ExecuteCommand(command);
}

void CGUITip::Update(const GUIRECT&, const GUIRECT&, bool, bool, float, float) {
  EHS_CP();
  m_fCountdown = std::max(0.0f, m_fCountdown - O2DGUI_GetFrameTime());
  m_effColor = m_color;
  m_effColor.height = m_color.height * (1.0f - m_fCountdown / m_fAppearTime);

  // Offset from the cursor by coords x, y; on the cursor's other side where the
  // screen ends, never off its top or left.
  int32_t cx = 0, cy = 0;
  O2D_GetEngine()->MouseGetCursorPos(cx, cy);
  const float fx = static_cast<float>(cx), fy = static_cast<float>(cy);
  float x = fx + m_rcCoords.x, y = fy + m_rcCoords.y;
  if (x + m_rcCoords.width > static_cast<float>(O2DGUI_GetScreenWidth())) x = fx - m_rcCoords.x - m_rcCoords.width;
  if (y + m_rcCoords.height > static_cast<float>(O2DGUI_GetScreenHeight())) y = fy - m_rcCoords.y - m_rcCoords.height;
  m_effRect = {std::max(0.0f, x), std::max(0.0f, y), m_rcCoords.width, m_rcCoords.height};

  m_bEffVisible = m_bVisible;
  m_bEffEnabled = m_bEnabled;
  UpdateChildrenIfActive();
}

// ---- advtile ------------------------------------------------------------------------

CGUIAdvTile::CGUIAdvTile(std::string id) : CGUITile(std::move(id)) {}

void CGUIAdvTile::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_ON_GOTFOCUS: m_onGotFocus.Set(value); break;
    case GUIP_ON_LOSTFOCUS: m_onLostFocus.Set(value); break;
    case GUIP_ON_CLICK: m_onClick.Set(value); break;
    case GUIP_ON_HOTKEY: m_onHotKey.Set(value); break;
    case GUIP_HOTKEY:
      // A key name (an unknown one gives no hot key) or the key code itself.
      if (value.GetType() == GUIVT_STRING)
        m_iHotKey = COstrak::KeyNameToCode(value.GetString());
      else
        m_iHotKey = static_cast<uint8_t>(TruncToInt(value.GetFloat()));
      break;
    default:
      CGUITile::SetParam(iID, value);
  }
}

CGUIValue CGUIAdvTile::GetParam(int32_t iID) {
  EHS_CP();
  if (iID == GUIP_HOTKEY) return CGUIValue(static_cast<float>(m_iHotKey));
  return CGUITile::GetParam(iID);
}

bool CGUIAdvTile::UpdateMouseOver(const GUIRECT& rect) {
  m_bMouseOver = CursorIn(rect);
  if (m_bMouseOver && !m_bPrevMouseOver)
    RunAction(m_onGotFocus);
  else if (!m_bMouseOver && m_bPrevMouseOver)
    RunAction(m_onLostFocus);
  m_bPrevMouseOver = m_bMouseOver;
  return m_bMouseOver;
}

bool CGUIAdvTile::LeftClicked() { return O2D_GetEngine()->MouseIsKeyClicked(1); }

bool CGUIAdvTile::HotKeyClicked() const {
  return m_iHotKey != 0 && O2D_GetEngine()->KeyboardIsKeyClicked(m_iHotKey);
}

void CGUIAdvTile::HandleInput() {
  UpdateMouseOver(m_effRect);
  if (m_onClick.IsSet() && m_bMouseOver && LeftClicked()) RunAction(m_onClick);
  if (m_onHotKey.IsSet() && HotKeyClicked()) RunAction(m_onHotKey);
}

// The children are updated once, after the input: an action run above may
// change them this frame.
void CGUIAdvTile::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                         bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  CheckTip();
  if (m_bEffEnabled && m_bEffVisible) HandleInput();
  UpdateChildrenIfActive();
}
