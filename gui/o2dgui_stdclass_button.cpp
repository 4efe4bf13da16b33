#include "o2dgui_stdclass_button.h"

#include "costrak.h"
#include "o2dgui_bezier.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_BUTTON;

namespace {
constexpr GUIRECT kWhite{1.0f, 1.0f, 1.0f, 1.0f};
}  // namespace

// ---- button ------------------------------------------------------------------------------

CGUIButton::CGUIButton(std::string id) : CGUIAdvTile(std::move(id)) { m_childColors.fill(kWhite); }

void CGUIButton::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_TEXTURE:
    case GUIP_TEXTURE_NORMAL:
      // The normal look stands in for every look not given yet.
      m_textures[LOOK_NORMAL] = TextureFromValue(value);
      for (int32_t& texture : m_textures)
        if (texture == -1) texture = m_textures[LOOK_NORMAL];
      break;
    case GUIP_TEXTURE_DISABLED: m_textures[LOOK_DISABLED] = TextureFromValue(value); break;
    case GUIP_TEXTURE_SELECTED: m_textures[LOOK_SELECTED] = TextureFromValue(value); break;
    case GUIP_TEXTURE_PRESSED: m_textures[LOOK_PRESSED] = TextureFromValue(value); break;
    case GUIP_CHILDSCOLOR_NORMAL: m_childColors[LOOK_NORMAL] = value.GetRect(); break;
    case GUIP_CHILDSCOLOR_DISABLED: m_childColors[LOOK_DISABLED] = value.GetRect(); break;
    case GUIP_CHILDSCOLOR_SELECTED: m_childColors[LOOK_SELECTED] = value.GetRect(); break;
    case GUIP_CHILDSCOLOR_PRESSED: m_childColors[LOOK_PRESSED] = value.GetRect(); break;
    case GUIP_ON_PRESS: m_onPress.Set(value); break;
    case GUIP_ON_HOLD: m_onHold.Set(value); break;
    case GUIP_ON_ENABLE: m_onEnable.Set(value); break;
    case GUIP_ON_DISABLE: m_onDisable.Set(value); break;
    case GUIP_SOUND_PRESS: m_iSoundPress = SoundFromValue(value); break;
    case GUIP_SOUND_CLICK: m_iSoundClick = SoundFromValue(value); break;
    case GUIP_SOUND_GOTFOCUS: m_iSoundGotFocus = SoundFromValue(value); break;
    case GUIP_SOUND_LOSTFOCUS: m_iSoundLostFocus = SoundFromValue(value); break;
    case GUIP_SOUND_HOTKEY: m_iSoundHotKey = SoundFromValue(value); break;
    case GUIP_ACTIVERECT: m_rcActive = value.GetRect(); break;
    case GUIP_COORDS:
      CGUIAdvTile::SetParam(iID, value);
      // Without an active rect of its own the whole button reacts.
      if (!(m_rcActive.width > 0.0f && m_rcActive.height > 0.0f)) m_rcActive = m_rcCoords;
      break;
    case GUIP_HOLDTIME_START:
    case GUIP_HOLDTIME_INTERVAL:
      (iID == GUIP_HOLDTIME_START ? m_fHoldStart : m_fHoldInterval) = value.GetFloat();
      m_fHoldTimer = 0.0f;
      m_bHolding = false;
      break;
    default: CGUIAdvTile::SetParam(iID, value); break;
  }
}

CGUIValue CGUIButton::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_TEXTURE:
    case GUIP_TEXTURE_NORMAL: return CGUIValue(static_cast<float>(m_textures[LOOK_NORMAL]));
    case GUIP_TEXTURE_DISABLED: return CGUIValue(static_cast<float>(m_textures[LOOK_DISABLED]));
    case GUIP_TEXTURE_SELECTED: return CGUIValue(static_cast<float>(m_textures[LOOK_SELECTED]));
    case GUIP_TEXTURE_PRESSED: return CGUIValue(static_cast<float>(m_textures[LOOK_PRESSED]));
    case GUIP_CHILDSCOLOR_NORMAL: return CGUIValue(m_childColors[LOOK_NORMAL]);
    case GUIP_CHILDSCOLOR_DISABLED: return CGUIValue(m_childColors[LOOK_DISABLED]);
    case GUIP_CHILDSCOLOR_SELECTED: return CGUIValue(m_childColors[LOOK_SELECTED]);
    case GUIP_CHILDSCOLOR_PRESSED: return CGUIValue(m_childColors[LOOK_PRESSED]);
    case GUIP_ACTIVERECT: return CGUIValue(m_rcActive);
    case GUIP_HOLDTIME_START: return CGUIValue(m_fHoldStart);
    case GUIP_HOLDTIME_INTERVAL: return CGUIValue(m_fHoldInterval);
    default: return CGUIAdvTile::GetParam(iID);
  }
}

void CGUIButton::ExecuteCommand(int32_t command) {
  EHS_CP();
  switch (command) {
    case GUICMD_ENABLE:
      if (!m_bEnabled) RunAction(m_onEnable);
      m_bEnabled = true;
      break;
    case GUICMD_DISABLE:
      if (m_bEnabled) RunAction(m_onDisable);
      m_bEnabled = false;
      break;
    default: CGUIAdvTile::ExecuteCommand(command); break;
  }
}

CGUIButton::Look CGUIButton::CurrentLook() const {
  if (!m_bEffEnabled) return LOOK_DISABLED;
  if (m_iState == STATE_PRESSED) return LOOK_PRESSED;
  return m_iState == STATE_SELECTED ? LOOK_SELECTED : LOOK_NORMAL;
}

void CGUIButton::Notify(int32_t sound, const CGUIAction& action) {
  if (SoundsOn()) PlaySound(sound);
  RunAction(action);
}

void CGUIButton::HoldStep() {
  if (!m_onHold.IsSet()) return;
  if (m_iState != STATE_PRESSED) {
    m_fHoldTimer = 0.0f;
    m_bHolding = false;
    return;
  }
  m_fHoldTimer += O2DGUI_GetFrameTime();
  if (!m_bHolding) {
    if (m_fHoldTimer >= m_fHoldStart) {
      m_fHoldTimer = 0.0f;
      m_bHolding = true;
    }
  } else if (m_fHoldTimer >= m_fHoldInterval) {
    m_fHoldTimer = 0.0f;
    RunAction(m_onHold);
  }
}

void CGUIButton::ClickFocusHotKey() {
  if (m_iState == STATE_PRESSED && m_iPrevState != STATE_PRESSED) Notify(m_iSoundClick, m_onClick);
  if (m_iState != STATE_NORMAL && m_iPrevState == STATE_NORMAL)
    Notify(m_iSoundGotFocus, m_onGotFocus);
  else if (m_iState == STATE_NORMAL && m_iPrevState != STATE_NORMAL)
    Notify(m_iSoundLostFocus, m_onLostFocus);
  if (HotKeyClicked()) Notify(m_iSoundHotKey, m_onHotKey);
}

void CGUIButton::EventStep() {
  if (ReleasedInside()) Notify(m_iSoundPress, m_onPress);
  HoldStep();
  ClickFocusHotKey();
}

void CGUIButton::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                        bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  m_rcEffActive = PlaceInParent(m_rcActive, parentRect, scrollX, scrollY);
  m_iState = STATE_NORMAL;
  m_bMouseOver = CursorIn(m_rcEffActive);
  if (m_bEffEnabled && m_bEffVisible) {
    if (!IgnoresMouse()) {
      COstrak* engine = O2D_GetEngine();
      // Only a press that begins on the button can press it.
      if (m_bMouseOver && LeftClicked()) m_bPressedInside = true;
      if (!engine->MouseIsKeyPressed(1)) m_bPressedInside = false;
      if (m_bMouseOver)
        m_iState = m_bPressedInside ? STATE_PRESSED : STATE_SELECTED;
      else if (m_bPressedInside)
        m_iState = STATE_SELECTED;
    }
    EventStep();
    m_iPrevState = m_iState;
  }
  m_childColor = O2DGUI_Modulate(m_effColor, LookColors()[CurrentLook()]);
  CheckTip(m_rcEffActive);
  UpdateChildrenIfActive();
}

void CGUIButton::UpdateChildren() {
  for (CGUIElement* child : m_children)
    child->Update(m_effRect, m_childColor, m_bEffVisible, m_bEffEnabled, 0.0f, 0.0f);
}

void CGUIButton::Draw() {
  EHS_CP();
  if (!m_bEffVisible) return;
  const int32_t texture = m_textures[LOOK_NORMAL] == -1 ? -1 : LookTextures()[CurrentLook()];
  DrawTile(m_effRect, texture);
  DrawChildren();
}

// ---- checkbox ----------------------------------------------------------------------------

CGUICheckBox::CGUICheckBox(std::string id) : CGUIButton(std::move(id)) { m_checkedColors.fill(kWhite); }

void CGUICheckBox::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  if (iID >= GUIP_TEXTURE_CHECKED_NORMAL && iID <= GUIP_TEXTURE_CHECKED_PRESSED) {
    m_checkedTextures[static_cast<size_t>(iID - GUIP_TEXTURE_CHECKED_NORMAL)] = TextureFromValue(value);
    return;
  }
  if (iID >= GUIP_CHILDSCOLOR_CHECKED_NORMAL && iID <= GUIP_CHILDSCOLOR_CHECKED_PRESSED) {
    m_checkedColors[static_cast<size_t>(iID - GUIP_CHILDSCOLOR_CHECKED_NORMAL)] = value.GetRect();
    return;
  }
  switch (iID) {
    case GUIP_CHECKED: m_bChecked = value.GetBool(); break;  // no action, no sound
    case GUIP_RADIOBUTTON: m_bRadio = value.GetBool(); break;
    case GUIP_ON_CHECK: m_onCheck.Set(value); break;
    case GUIP_ON_UNCHECK: m_onUncheck.Set(value); break;
    case GUIP_SOUND_CHECK: m_iSoundCheck = SoundFromValue(value); break;
    case GUIP_SOUND_UNCHECK: m_iSoundUncheck = SoundFromValue(value); break;
    default: CGUIButton::SetParam(iID, value); break;
  }
}

CGUIValue CGUICheckBox::GetParam(int32_t iID) {
  EHS_CP();
  if (iID >= GUIP_TEXTURE_CHECKED_NORMAL && iID <= GUIP_TEXTURE_CHECKED_PRESSED)
    return CGUIValue(static_cast<float>(m_checkedTextures[static_cast<size_t>(iID - GUIP_TEXTURE_CHECKED_NORMAL)]));
  if (iID >= GUIP_CHILDSCOLOR_CHECKED_NORMAL && iID <= GUIP_CHILDSCOLOR_CHECKED_PRESSED)
    return CGUIValue(m_checkedColors[static_cast<size_t>(iID - GUIP_CHILDSCOLOR_CHECKED_NORMAL)]);
  switch (iID) {
    case GUIP_CHECKED: return CGUIValue(m_bChecked);
    case GUIP_RADIOBUTTON: return CGUIValue(m_bRadio);
    default: return CGUIButton::GetParam(iID);
  }
}

void CGUICheckBox::RunWithTag(const CGUIAction& action) const {
  if (action.IsSet())
    COstrakGUI::GetInstance()->ExecuteAction(action, {CGUIValue(static_cast<float>(m_iTag))});
}

void CGUICheckBox::ExecuteCommand(int32_t command) {
  EHS_CP();
  switch (command) {
    case GUICMD_CHECK:
      if (m_bChecked) break;
      RunWithTag(m_onCheck);
      if (SoundsOn()) PlaySound(m_iSoundCheck);
      m_bChecked = true;
      break;
    case GUICMD_UNCHECK:
      if (!m_bChecked) break;
      RunWithTag(m_onUncheck);
      if (SoundsOn()) PlaySound(m_iSoundUncheck);
      m_bChecked = false;
      break;
    default: CGUIButton::ExecuteCommand(command); break;
  }
}

// Group logic is the members' on_check handlers' work: they uncheck the others.
void CGUICheckBox::EventStep() {
  ClickFocusHotKey();
  if (ReleasedInside()) ExecuteCommand(m_bChecked ? GUICMD_UNCHECK : GUICMD_CHECK);
}
