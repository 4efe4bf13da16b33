#include "o2dgui_stdclass_label.h"

#include <cmath>

#include "costrak.h"
#include "costrak_utils_demand.h"
#include "o2d_input.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_LABEL;

// ---- label -------------------------------------------------------------------------------

CGUILabel::CGUILabel(std::string id) : CGUIElement(std::move(id)) { m_color = {1.0f, 1.0f, 1.0f, 1.0f}; }

void CGUILabel::UpdateTextWidth() {
  m_fTextWidth = 0.0f;
  if (m_iFont == -1 || m_iAlignment == 1) return;
  m_fTextWidth = O2D_GetEngine()->FontGetStringWidth(m_strText.c_str(), m_iFont, m_fFontScale, m_fFontShiftX);
}

void CGUILabel::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_FONT:
      m_iFont = value.GetType() == GUIVT_STRING ? O2DUTIL_DemandFont(value.GetString().c_str())
                                                : TruncToInt(value.GetFloat());
      break;
    case GUIP_FONT_COLOR: m_iFontColor = TruncToInt(value.GetFloat()); return;
    case GUIP_FONT_ALPHA: m_fFontAlpha = value.GetFloat(); return;
    case GUIP_FONT_SETDEFAULTTECHNIQUE: m_bFontDefaultTechnique = value.GetBool(); return;
    case GUIP_FONT_SCALE: m_fFontScale = value.GetFloat(); break;
    case GUIP_FONT_SHIFTX: m_fFontShiftX = value.GetFloat(); break;
    case GUIP_FONT_SHIFTY: m_fFontShiftY = value.GetFloat(); break;
    case GUIP_TEXT: m_strText = value.GetString(); break;
    case GUIP_ALIGNMENT: {
      const int32_t alignment = TruncToInt(value.GetFloat());
      m_iAlignment = alignment == 2 || alignment == 3 ? alignment : 1;
      break;
    }
    case GUIP_LIMITVIEWPORT: m_bLimitViewport = value.GetBool(); return;
    default: CGUIElement::SetParam(iID, value); return;
  }
  UpdateTextWidth();
}

CGUIValue CGUILabel::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_FONT: return CGUIValue(static_cast<float>(m_iFont));
    case GUIP_FONT_COLOR: return CGUIValue(static_cast<float>(m_iFontColor));
    case GUIP_FONT_ALPHA: return CGUIValue(m_fFontAlpha);
    case GUIP_FONT_SETDEFAULTTECHNIQUE: return CGUIValue(m_bFontDefaultTechnique);
    case GUIP_FONT_SCALE: return CGUIValue(m_fFontScale);
    case GUIP_FONT_SHIFTX: return CGUIValue(m_fFontShiftX);
    case GUIP_FONT_SHIFTY: return CGUIValue(m_fFontShiftY);
    case GUIP_TEXT: return CGUIValue(m_strText);
    case GUIP_ALIGNMENT: return CGUIValue(static_cast<float>(m_iAlignment));
    case GUIP_LIMITVIEWPORT: return CGUIValue(m_bLimitViewport);
    default: return CGUIElement::GetParam(iID);
  }
}

void CGUILabel::UpdateLabelEffective(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                                     bool parentEnabled, float scrollX, float scrollY) {
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  m_fEffFontAlpha = parentColor.height * m_fFontAlpha;
}

void CGUILabel::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                       bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateLabelEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  CheckTip();
}

void CGUILabel::Draw() {
  EHS_CP();
  if (!m_bEffVisible || m_iFont == -1) return;
  COstrak* engine = O2D_GetEngine();
  // With the font's own technique in force the element's would be overridden anyway.
  if (m_iTechnique != -1 && !m_bFontDefaultTechnique) engine->TechApply(m_iTechnique);
  // The font's colour table has ten slots; any other index draws in the element's colour.
  if (m_iFontColor < 0 || m_iFontColor > 9)
    engine->VQuadSetColor(m_effColor.x, m_effColor.y, m_effColor.width, m_effColor.height);
  float x = m_effRect.x;
  if (m_iAlignment == 2) x += std::floor(m_effRect.width / 2.0f - m_fTextWidth / 2.0f);
  else if (m_iAlignment == 3) x += std::floor(m_effRect.width - m_fTextWidth);
  engine->FontSet(m_iFont);
  if (m_bLimitViewport) ClipToEffectiveRect();
  engine->FontDrawTextEx(ShownText().c_str(), x, m_effRect.y, 0, m_iFontColor, m_fEffFontAlpha,
                         m_bFontDefaultTechnique, m_fFontScale, m_fFontShiftX, m_fFontShiftY);
  if (m_bLimitViewport) ClipToScreen();
}

// ---- textbox -----------------------------------------------------------------------------

CGUITextBox::CGUITextBox(std::string id) : CGUILabel(std::move(id)) {}

void CGUITextBox::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_COORDS:
      CGUILabel::SetParam(iID, value);
      // Without an active rect of its own the box is focused by a click on itself.
      if (!(m_rcActive.width > 0.0f && m_rcActive.height > 0.0f)) m_rcActive = m_rcCoords;
      break;
    case GUIP_TEXT:
      CGUILabel::SetParam(iID, value);
      ShowText();
      break;
    case GUIP_ACTIVERECT: m_rcActive = value.GetRect(); break;
    case GUIP_BLINK_TIME: {
      const float time = value.GetFloat();
      m_fBlinkTime = time > 0.0f ? time : 0.1f;
      m_bCaretOn = false;
      m_fCaretTimer = 0.0f;
      ShowText();
      break;
    }
    case GUIP_BLINK_CHAR: m_strBlinkChar = value.GetString(); break;
    case GUIP_MAXCHARS: m_iMaxChars = TruncToInt(value.GetFloat()); break;
    case GUIP_ON_ENABLE: m_onEnable.Set(value); break;
    case GUIP_ON_DISABLE: m_onDisable.Set(value); break;
    case GUIP_ON_INPUT: m_onInput.Set(value); break;
    case GUIP_SOUND_INPUT: m_iSoundInput = SoundFromValue(value); break;
    case GUIP_LANGUAGE: m_iLanguage = TruncToInt(value.GetFloat()); break;
    default: CGUILabel::SetParam(iID, value); break;
  }
}

CGUIValue CGUITextBox::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_ACTIVERECT: return CGUIValue(m_rcActive);
    case GUIP_BLINK_TIME: return CGUIValue(m_fBlinkTime);
    case GUIP_BLINK_CHAR: return CGUIValue(m_strBlinkChar);
    case GUIP_MAXCHARS: return CGUIValue(static_cast<float>(m_iMaxChars));
    case GUIP_LANGUAGE: return CGUIValue(static_cast<float>(m_iLanguage));
    case GUIP_SOUND_INPUT: return CGUIValue(static_cast<float>(m_iSoundInput));
    default: return CGUILabel::GetParam(iID);
  }
}

void CGUITextBox::ExecuteCommand(int32_t command) {
  EHS_CP();
  switch (command) {
    case GUICMD_ENABLE:
      RunAction(m_onEnable);
      m_bEnabled = m_bEffEnabled = true;
      m_bCaretOn = false;
      m_fCaretTimer = m_fBlinkTime;  // the caret shows at the next update
      // Only what is typed from now on belongs to this box, not what was
      // typed while nothing had the focus.
      O2D_GetEngine()->KeyboardSetTextInBuffer("");
      break;
    case GUICMD_DISABLE:
      RunAction(m_onDisable);
      m_bEnabled = m_bEffEnabled = false;
      m_bCaretOn = false;
      m_fCaretTimer = 0.0f;
      m_strShown = m_strText;
      break;
    default: CGUILabel::ExecuteCommand(command); break;
  }
}

void CGUITextBox::TakeInput() {
  COstrak* engine = O2D_GetEngine();
  bool changed = false;
  if (m_iLanguage == 1) {
    const std::string typed = engine->KeyboardGetTextInBuffer();
    if (!typed.empty()) {
      engine->KeyboardSetTextInBuffer(typed.substr(1));
      if (static_cast<int64_t>(m_strText.size()) < m_iMaxChars) {
        m_strText += typed[0];
        changed = true;
      }
    }
  }
  // Backspace counts as input even on an empty text.
  if (engine->KeyboardIsKeyClicked(DIK_BACK)) {
    if (!m_strText.empty()) m_strText.pop_back();
    changed = true;
  }
  if (!changed) return;
  PlaySound(m_iSoundInput);
  RunAction(m_onInput);
  UpdateTextWidth();
  m_strShown = m_strText;
}

void CGUITextBox::Blink() {
  m_fCaretTimer += O2DGUI_GetFrameTime();
  if (m_fCaretTimer >= m_fBlinkTime) {
    // Whole blink periods at once, so that a tiny blink time cannot stall the frame.
    const float periods = std::floor(m_fCaretTimer / m_fBlinkTime);
    m_fCaretTimer = std::fmod(m_fCaretTimer, m_fBlinkTime);
    if (std::fmod(periods, 2.0f) != 0.0f) m_bCaretOn = !m_bCaretOn;
  }
  ShowText();
}

void CGUITextBox::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                         bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateLabelEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  m_rcEffActive = PlaceInParent(m_rcActive, parentRect, scrollX, scrollY);
  const bool mouseIn = CursorIn(m_rcEffActive);
  COstrak* engine = O2D_GetEngine();
  // Enabled means having the keyboard focus.
  if (parentEnabled && m_bEffVisible) {
    if (engine->MouseIsKeyClicked(1)) ExecuteCommand(mouseIn ? GUICMD_ENABLE : GUICMD_DISABLE);
    if (engine->MouseIsKeyClicked(2) || engine->KeyboardIsKeyClicked(DIK_RETURN)) ExecuteCommand(GUICMD_DISABLE);
  }
  if (m_bEffVisible && m_bEffEnabled) {
    TakeInput();
    Blink();
  }
  CheckTip(m_rcEffActive);
}
