#include "o2dgui_stdclass_window.h"

#include <algorithm>

#include "costrak_ehs.h"
#include "o2dgui_bezier.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_WINDOW;

CGUIWindow::CGUIWindow(std::string id) : CGUIElement(std::move(id)) {}

void CGUIWindow::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_COLOR_HIDDEN: m_colorHidden = value.GetRect(); break;
    case GUIP_COLOR_MIDDLE: m_colorMiddle = value.GetRect(); break;
    case GUIP_COLOR_SHOWN: m_colorShown = value.GetRect(); break;
    case GUIP_LOCATION_HIDDEN: m_locHidden = value.GetPoint(); break;
    case GUIP_LOCATION_MIDDLE: m_locMiddle = value.GetPoint(); break;
    case GUIP_LOCATION_SHOWN: m_locShown = value.GetPoint(); break;
    case GUIP_TIME_SHOWHIDE: {
      // The transition divides by it; NaN counts as too small.
      const float time = value.GetFloat();
      m_fShowHideTime = time > 0.0f ? time : 0.001f;
      break;
    }
    case GUIP_ON_HIDE: m_onHide.Set(value); break;
    case GUIP_ON_SHOW: m_onShow.Set(value); break;
    case GUIP_ON_ENABLE: m_onEnable.Set(value); break;
    case GUIP_ON_DISABLE: m_onDisable.Set(value); break;
    case GUIP_SOUND_HIDE: m_iSoundHide = SoundFromValue(value); break;
    case GUIP_SOUND_SHOW: m_iSoundShow = SoundFromValue(value); break;
    default: CGUIElement::SetParam(iID, value);
  }
}

CGUIValue CGUIWindow::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_COLOR_HIDDEN: return CGUIValue(m_colorHidden);
    case GUIP_COLOR_MIDDLE: return CGUIValue(m_colorMiddle);
    case GUIP_COLOR_SHOWN: return CGUIValue(m_colorShown);
    case GUIP_LOCATION_HIDDEN: return CGUIValue(m_locHidden);
    case GUIP_LOCATION_MIDDLE: return CGUIValue(m_locMiddle);
    case GUIP_LOCATION_SHOWN: return CGUIValue(m_locShown);
    case GUIP_TIME_SHOWHIDE: return CGUIValue(m_fShowHideTime);
    case GUIP_SOUND_HIDE: return CGUIValue(static_cast<float>(m_iSoundHide));
    case GUIP_SOUND_SHOW: return CGUIValue(static_cast<float>(m_iSoundShow));
    default: return CGUIElement::GetParam(iID);
  }
}

// Show and hide reverse a running transition from where it stands; the sound
// and action come only when the direction changes.
void CGUIWindow::ExecuteCommand(int32_t command) {
  EHS_CP();
  switch (command) {
    case GUICMD_SHOW:
      if (m_iState == HIDDEN || m_iState == HIDING) {
        PlaySound(m_iSoundShow);
        RunAction(m_onShow);
      }
      m_iState = SHOWING;
      break;
    case GUICMD_HIDE:
      if (m_iState == SHOWING || m_iState == SHOWN) {
        PlaySound(m_iSoundHide);
        RunAction(m_onHide);
      }
      m_iState = HIDING;
      break;
    case GUICMD_ENABLE:
      RunAction(m_onEnable);
      m_bEnabled = true;
      break;
    case GUICMD_DISABLE:
      RunAction(m_onDisable);
      m_bEnabled = false;
      break;
    default: CGUIElement::ExecuteCommand(command);
  }
}

void CGUIWindow::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                        bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  const float frameTime = O2DGUI_GetFrameTime();
  if (m_iState == SHOWING) {
    m_fTime += frameTime;
    if (m_fTime >= m_fShowHideTime) {
      m_fTime = m_fShowHideTime;
      m_iState = SHOWN;
    }
  } else if (m_iState == HIDING) {
    m_fTime -= frameTime;
    if (m_fTime <= 0.0f) {
      m_fTime = 0.0f;
      m_iState = HIDDEN;
    }
  }
  if (m_iState == HIDDEN) {
    m_bEffVisible = false;
    m_bEffEnabled = false;
    return;
  }

  GUIRECT color = m_colorShown;
  GUIPOINT location = m_locShown;
  if (m_iState == SHOWN) {
    m_bEffEnabled = m_bEnabled && parentEnabled;
  } else {
    // A shorter show/hide time set mid-way must not carry the blend past its ends.
    const float t = std::clamp(m_fTime / m_fShowHideTime, 0.0f, 1.0f);
    color = O2DGUI_Bezier(m_colorHidden, m_colorMiddle, m_colorShown, t);
    location = O2DGUI_Bezier(m_locHidden, m_locMiddle, m_locShown, t);
    m_bEffEnabled = false;  // no input while the window moves
  }
  m_effColor = O2DGUI_Modulate(parentColor, color);
  m_effRect =
      PlaceInParent({location.x, location.y, m_rcCoords.width, m_rcCoords.height}, parentRect, scrollX, scrollY);
  m_bEffVisible = parentVisible;
  CheckTip();
  UpdateChildrenIfActive();
}

void CGUIWindow::Draw() {
  EHS_CP();
  if (m_iState != HIDDEN) DrawChildren();
}
