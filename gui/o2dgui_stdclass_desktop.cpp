#include "o2dgui_stdclass_desktop.h"

#include "costrak_ehs.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_DESKTOP;

CGUIDesktop::CGUIDesktop(std::string id) : CGUIElement(std::move(id)) {
  m_rcCoords = {0.0f, 0.0f, static_cast<float>(O2DGUI_GetScreenWidth()), static_cast<float>(O2DGUI_GetScreenHeight())};
  m_color = {1.0f, 1.0f, 1.0f, 1.0f};
  m_bVisible = true;
  m_bEnabled = true;
}

// The root's own values are its effective ones; the walk's arguments are ignored.
void CGUIDesktop::Update(const GUIRECT&, const GUIRECT&, bool, bool, float, float) {
  EHS_CP();
  m_effRect = m_rcCoords;
  m_effColor = m_color;
  m_bEffVisible = m_bVisible;
  m_bEffEnabled = m_bEnabled;
  UpdateChildrenIfActive();
}
