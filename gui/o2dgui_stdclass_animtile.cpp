#include "o2dgui_stdclass_animtile.h"

#include <algorithm>
#include <cmath>

#include "costrak.h"
#include "costrak_ehs.h"
#include "costrak_utils_demand.h"
#include "o2dgui_bezier.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_ANIMTILE;

CGUIAnimTile::CGUIAnimTile(std::string id) : CGUITile(std::move(id)) {}

void CGUIAnimTile::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_COLOR_BEGIN: m_colorBegin = value.GetRect(); break;
    case GUIP_COLOR_MIDDLE: m_colorMiddle = value.GetRect(); break;
    case GUIP_COLOR_END: m_colorEnd = value.GetRect(); break;
    case GUIP_LOCATION_BEGIN: m_locBegin = value.GetPoint(); break;
    case GUIP_LOCATION_MIDDLE: m_locMiddle = value.GetPoint(); break;
    case GUIP_LOCATION_END: m_locEnd = value.GetPoint(); break;
    case GUIP_LOCATION_CENTER: m_locCenter = value.GetPoint(); break;
    case GUIP_SCALE_BEGIN: m_fScaleBegin = value.GetFloat(); break;
    case GUIP_SCALE_MIDDLE: m_fScaleMiddle = value.GetFloat(); break;
    case GUIP_SCALE_END: m_fScaleEnd = value.GetFloat(); break;
    case GUIP_ANGLE_BEGIN: m_fAngleBegin = value.GetFloat(); break;
    case GUIP_ANGLE_MIDDLE: m_fAngleMiddle = value.GetFloat(); break;
    case GUIP_ANGLE_END: m_fAngleEnd = value.GetFloat(); break;
    case GUIP_ENUM_FRAMES: {
      // Appends: a second enum continues the animation.
      const CGUIEnum* frames = value.GetEnum();
      if (frames == nullptr) EHS_RAISE(EHS_GENERAL, 0, "CGUIEnum pointer is NULL!");
      for (int32_t i = 0; i < frames->GetCount(); ++i) {
        const int32_t texture = O2DUTIL_DemandTexture(frames->GetValue(i).c_str());
        if (texture < 0) EHS_RAISE(EHS_GENERAL, 0, "Invalid texture ID!");
        m_frames.push_back(texture);
      }
      break;
    }
    case GUIP_TIME_ANIMCYCLE: {
      // The cycle divides time; a script's 0, negative or NaN becomes a short cycle.
      const float time = value.GetFloat();
      m_fCycleTime = time > 0.0f ? time : 0.001f;
      m_fTime = 0.0f;
      break;
    }
    case GUIP_LOOPED: m_bLooped = value.GetBool(); break;
    case GUIP_NOPARENTENABLED: m_bNoParentEnabled = value.GetBool(); break;
    default: CGUITile::SetParam(iID, value);
  }
}

CGUIValue CGUIAnimTile::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_COLOR_BEGIN: return CGUIValue(m_colorBegin);
    case GUIP_COLOR_MIDDLE: return CGUIValue(m_colorMiddle);
    case GUIP_COLOR_END: return CGUIValue(m_colorEnd);
    case GUIP_LOCATION_BEGIN: return CGUIValue(m_locBegin);
    case GUIP_LOCATION_MIDDLE: return CGUIValue(m_locMiddle);
    case GUIP_LOCATION_END: return CGUIValue(m_locEnd);
    case GUIP_LOCATION_CENTER: return CGUIValue(m_locCenter);
    case GUIP_SCALE_BEGIN: return CGUIValue(m_fScaleBegin);
    case GUIP_SCALE_MIDDLE: return CGUIValue(m_fScaleMiddle);
    case GUIP_SCALE_END: return CGUIValue(m_fScaleEnd);
    case GUIP_ANGLE_BEGIN: return CGUIValue(m_fAngleBegin);
    case GUIP_ANGLE_MIDDLE: return CGUIValue(m_fAngleMiddle);
    case GUIP_ANGLE_END: return CGUIValue(m_fAngleEnd);
    case GUIP_TIME_ANIMCYCLE: return CGUIValue(m_fCycleTime);
    case GUIP_LOOPED: return CGUIValue(m_bLooped);
    case GUIP_NOPARENTENABLED: return CGUIValue(m_bNoParentEnabled);
    default: return CGUITile::GetParam(iID);
  }
}

void CGUIAnimTile::ExecuteCommand(int32_t command) {
  EHS_CP();
  switch (command) {
    case GUICMD_ENABLE:
      m_bEnabled = true;
      m_bPlayingOnce = false;
      break;
    case GUICMD_PLAYONCE_IFNOTPLAYING:
      if (m_bPlayingOnce) break;
      [[fallthrough]];
    case GUICMD_PLAYONCE:
      m_fTime = 0.0f;
      m_bPlayingOnce = true;
      m_bEnabled = true;
      m_bVisible = true;
      break;
    default: CGUITile::ExecuteCommand(command);
  }
}

void CGUIAnimTile::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                          bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  m_bEffVisible = m_bVisible && parentVisible && !m_frames.empty();
  m_bEffEnabled = m_bNoParentEnabled ? m_bEnabled : m_bEnabled && parentEnabled;
  if (m_bEffEnabled) m_fTime += O2DGUI_GetFrameTime();  // a disabled animtile stands still

  if (m_fTime >= m_fCycleTime) {
    if (m_bPlayingOnce) {
      // One run is over: it vanishes until played again.
      m_fTime = 0.0f;
      m_bEnabled = m_bVisible = m_bEffEnabled = m_bEffVisible = false;
      m_bPlayingOnce = false;
    } else if (m_bLooped) {
      m_fTime = std::fmod(m_fTime, m_fCycleTime);
    } else {
      m_fTime = m_fCycleTime - 0.0001f;  // the last frame is held
    }
  }
  // Keep the blend within the cycle even for cycles shorter than the hold margin.
  const float t = std::clamp(m_fTime / m_fCycleTime, 0.0f, 1.0f);

  m_effColor = O2DGUI_Modulate(parentColor, O2DGUI_Bezier(m_colorBegin, m_colorMiddle, m_colorEnd, t));
  const GUIPOINT location = O2DGUI_Bezier(m_locBegin, m_locMiddle, m_locEnd, t);
  m_effRect =
      PlaceInParent({location.x, location.y, m_rcCoords.width, m_rcCoords.height}, parentRect, scrollX, scrollY);
  m_center = {m_effRect.x + m_locCenter.x, m_effRect.y + m_locCenter.y};
  m_fScale = O2DGUI_Bezier(m_fScaleBegin, m_fScaleMiddle, m_fScaleEnd, t);
  m_fAngle = O2DGUI_Bezier(m_fAngleBegin, m_fAngleMiddle, m_fAngleEnd, t);
  const int32_t count = static_cast<int32_t>(m_frames.size());
  m_iFrame = std::clamp(TruncToInt(static_cast<float>(count) * t), 0, std::max(0, count - 1));

  UpdateChildrenIfActive();
}

void CGUIAnimTile::Draw() {
  EHS_CP();
  if (!m_bEffVisible || m_frames.empty()) return;
  const int32_t texture = m_frames[static_cast<size_t>(m_iFrame)];
  if (m_iDrawScheme != GUIDS_STRETCH) {
    DrawTile(m_effRect, texture);
  } else {
    COstrak* engine = O2D_GetEngine();
    if (m_iTechnique != -1) engine->TechApply(m_iTechnique);
    if (texture != -1) engine->TexSet(texture, 0);
    engine->VQuadSetColor(m_effColor.x, m_effColor.y, m_effColor.width, m_effColor.height);
    engine->VQuadSetTexCoords(1, m_texCoords.x, m_texCoords.y, m_texCoords.width, m_texCoords.height);
    engine->VQuadSetPos(m_effRect.x, m_effRect.y, m_effRect.width, m_effRect.height, 0.5f);
    if (m_fScale != 1.0f) engine->VQuadScale(m_center.x, m_center.y, m_fScale);
    if (m_fAngle != 0.0f) engine->VQuadRotate(m_center.x, m_center.y, m_fAngle);
    engine->SceneRender();
  }
  DrawChildren();
}
