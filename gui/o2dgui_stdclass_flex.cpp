#include "o2dgui_stdclass_flex.h"

#include "costrak_ehs.h"
#include "costrak_random.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_FLEX;

// ---- flex -------------------------------------------------------------------------------

CGUIFlex::CGUIFlex(std::string id) : CGUIElement(std::move(id)) {}

void CGUIFlex::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_ON_UPDATE: m_onUpdate.Set(value); break;
    case GUIP_ON_REDRAW: m_onRedraw.Set(value); break;
    default: CGUIElement::SetParam(iID, value);
  }
}

void CGUIFlex::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
                      float scrollX, float scrollY) {
  EHS_CP();
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  if (m_onUpdate.IsSet()) {
    COstrakGUI::GetInstance()->ExecuteAction(
        m_onUpdate, {CGUIValue(m_effRect), CGUIValue(m_effColor), CGUIValue(m_bEffVisible), CGUIValue(m_bEffEnabled)});
  }
}

void CGUIFlex::Draw() {
  EHS_CP();
  if (m_bEffVisible) RunAction(m_onRedraw);
}

// ---- timer ------------------------------------------------------------------------------

CGUITimer::CGUITimer(std::string id) : CGUIElement(std::move(id)) {}

void CGUITimer::NextRandomDelay() {
  m_fRandomTime = 0.0f;
  const int32_t steps = TruncToInt((m_fRandomMax - m_fRandomMin) * 10.0f);
  m_fRandomDelay = m_fRandomMin;
  if (steps > 0) m_fRandomDelay += 0.1f * static_cast<float>(O2D_Random() % static_cast<uint32_t>(steps));
}

void CGUITimer::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_FACTORACTION_TIME: m_fFactorPeriod = value.GetFloat(); break;
    case GUIP_FACTORACTION_LOOPED: m_bFactorLooped = value.GetBool(); break;
    // A minimum that reaches the maximum pushes it up by a second; a range that
    // stays empty gives the minimum as every delay.
    case GUIP_RANDOMACTION_MINTIME: {
      const float minimum = value.GetFloat();
      m_fRandomMin = minimum >= 0.0f ? minimum : 0.0f;
      if (!(m_fRandomMin < m_fRandomMax)) m_fRandomMax += 1.0f;
      NextRandomDelay();
      break;
    }
    case GUIP_RANDOMACTION_MAXTIME:
      m_fRandomMax = value.GetFloat();
      if (!(m_fRandomMax > m_fRandomMin)) m_fRandomMax = m_fRandomMin + 1.0f;
      NextRandomDelay();
      break;
    case GUIP_ON_PERMANENTACTION: m_onPermanent.Set(value); break;
    case GUIP_ON_FACTORACTION: m_onFactor.Set(value); break;
    case GUIP_ON_RANDOMACTION: m_onRandom.Set(value); break;
    default: CGUIElement::SetParam(iID, value);
  }
}

CGUIValue CGUITimer::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_FACTORACTION_TIME: return CGUIValue(m_fFactorPeriod);
    case GUIP_FACTORACTION_LOOPED: return CGUIValue(m_bFactorLooped);
    case GUIP_RANDOMACTION_MINTIME: return CGUIValue(m_fRandomMin);
    case GUIP_RANDOMACTION_MAXTIME: return CGUIValue(m_fRandomMax);
    default: return CGUIElement::GetParam(iID);
  }
}

void CGUITimer::ExecuteCommand(int32_t command) {
  EHS_CP();
  if (command != GUICMD_TIMER_RESTART) return CGUIElement::ExecuteCommand(command);
  m_fFactorTime = 0.0f;
  NextRandomDelay();
}

// A non-looped period runs its action with fractions from just above 0 to below
// 1 and then rests at its end; a looped one also sees 0 at each restart.
void CGUITimer::UpdateFactor(float frameTime) {
  m_fFactorTime += frameTime;
  if (m_fFactorTime >= m_fFactorPeriod) {
    if (!m_bFactorLooped) {
      m_fFactorTime = m_fFactorPeriod;
      return;
    }
    m_fFactorTime = 0.0f;
  }
  if (!m_onFactor.IsSet()) return;
  const float fraction = m_fFactorPeriod > 0.0f ? m_fFactorTime / m_fFactorPeriod : 0.0f;
  COstrakGUI::GetInstance()->ExecuteAction(m_onFactor, {CGUIValue(fraction)});
}

void CGUITimer::UpdateRandom(float frameTime) {
  m_fRandomTime += frameTime;
  if (m_fRandomTime < m_fRandomDelay) return;
  RunAction(m_onRandom);
  NextRandomDelay();
}

void CGUITimer::Update(const GUIRECT&, const GUIRECT&, bool, bool parentEnabled, float, float) {
  EHS_CP();
  m_bEffEnabled = m_bEnabled && parentEnabled;
  if (!m_bEffEnabled) return;
  RunAction(m_onPermanent);
  const float frameTime = O2DGUI_GetFrameTime();
  UpdateFactor(frameTime);
  UpdateRandom(frameTime);
}
