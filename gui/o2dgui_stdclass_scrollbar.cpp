#include "o2dgui_stdclass_scrollbar.h"

#include <algorithm>
#include <cmath>

#include "costrak.h"
#include "costrak_ehs.h"
#include "o2d_input.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_SCROLLBAR;

CGUIScrollBar::CGUIScrollBar(std::string id, bool vertical) : CGUITile(std::move(id)), m_bVertical(vertical) {}

// ---- geometry ---------------------------------------------------------------------------

// The slider shows the page's share of the track, at least as long as the bar
// is thick. Ranges are 64-bit: maximum - minimum may not fit 32 bits.
void CGUIScrollBar::LayoutAlong(float length, float thickness) {
  const double range = double(int64_t{m_iMaxValue} - m_iMinValue);
  const double total = range + m_iPageSize;
  float slider = thickness;
  if (m_bFixedSlider) slider = static_cast<float>(m_iFixedSliderSize);
  else if (total >= 1.0) slider = std::floor(static_cast<float>((1.0 - range / total) * length));
  m_fSliderLength = std::min(std::max(slider, thickness), length);

  const double fraction = range < 1.0 ? 0.0 : double(int64_t{m_iCurValue} - m_iMinValue) / range;
  m_fSliderOffset = static_cast<float>((length - m_fSliderLength) * fraction);
  PlaceSlider();
}

void CGUIScrollBar::PlaceSlider() {
  if (m_bVertical) m_rcSlider = {m_effRect.x, m_effRect.y + m_fSliderOffset, m_rcCoords.width, m_fSliderLength};
  else m_rcSlider = {m_effRect.x + m_fSliderOffset, m_effRect.y, m_fSliderLength, m_rcCoords.height};
}

void CGUIScrollBar::ValueAlong(float length) {
  const float track = length - m_fSliderLength;
  if (!(track > 0.0f)) {
    m_iCurValue = m_iMinValue;
    return;
  }
  const double range = double(int64_t{m_iMaxValue} - m_iMinValue);
  double units = std::trunc(double(m_fSliderOffset) / track * range);
  if (!(units >= 0.0)) units = 0.0;  // NaN too
  units = std::min(units, range);
  m_iCurValue = static_cast<int32_t>(m_iMinValue + static_cast<int64_t>(units));
}

void CGUIScrollBar::DragAlong(float offset, float length) {
  const float track = length - m_fSliderLength;
  if (offset > track) offset = track;
  if (!(offset >= 0.0f)) offset = 0.0f;
  m_fSliderOffset = offset;
  PlaceSlider();
  ValueFromOffset();
  RunOnScroll();
}

// ---- parameters ---------------------------------------------------------------------------

void CGUIScrollBar::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_MINVALUE:
      m_iMinValue = TruncToInt(value.GetFloat());
      m_iMaxValue = std::max(m_iMaxValue, m_iMinValue);
      m_iCurValue = std::max(m_iCurValue, m_iMinValue);
      LayoutSlider();
      break;
    case GUIP_MAXVALUE:
      m_iMaxValue = std::max(TruncToInt(value.GetFloat()), m_iMinValue);
      m_iCurValue = std::min(m_iCurValue, m_iMaxValue);
      LayoutSlider();
      break;
    case GUIP_CURVALUE:
      m_iCurValue = std::clamp(TruncToInt(value.GetFloat()), m_iMinValue, m_iMaxValue);
      LayoutSlider();
      RunOnScroll();
      break;
    case GUIP_PAGESIZE:
      m_iPageSize = std::max(TruncToInt(value.GetFloat()), 1);
      LayoutSlider();
      break;
    case GUIP_SCROLLSPEED: m_iScrollSpeed = TruncToInt(value.GetFloat()); break;
    case GUIP_SLIDER:
      m_bFixedSlider = value.GetBool();
      LayoutSlider();
      break;
    case GUIP_SLIDERSIZE:
      m_iFixedSliderSize = TruncToInt(value.GetFloat());
      LayoutSlider();
      break;
    // The normal texture stands in for every state that has none of its own.
    case GUIP_TEXTURE:
    case GUIP_TEXTURE_NORMAL:
      m_iTexNormal = TextureFromValue(value);
      for (int32_t* texture : {&m_iTexDisabled, &m_iTexSelected, &m_iTexPressed})
        if (*texture == -1) *texture = m_iTexNormal;
      break;
    case GUIP_TEXTURE_DISABLED: m_iTexDisabled = TextureFromValue(value); break;
    case GUIP_TEXTURE_SELECTED: m_iTexSelected = TextureFromValue(value); break;
    case GUIP_TEXTURE_PRESSED: m_iTexPressed = TextureFromValue(value); break;
    case GUIP_ON_SCROLL: m_onScroll.Set(value); break;
    case GUIP_ON_GOTFOCUS: m_onGotFocus.Set(value); break;
    case GUIP_ON_LOSTFOCUS: m_onLostFocus.Set(value); break;
    case GUIP_ACTIVERECT: m_rcActive = value.GetRect(); break;
    // The active rect follows the coords while it has no size of its own, and
    // the slider follows the bar's new length.
    case GUIP_COORDS:
      CGUITile::SetParam(iID, value);
      if (!(m_rcActive.width > 0.0f && m_rcActive.height > 0.0f)) m_rcActive = m_rcCoords;
      LayoutSlider();
      break;
    default: CGUITile::SetParam(iID, value);
  }
}

CGUIValue CGUIScrollBar::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_MINVALUE: return CGUIValue(static_cast<float>(m_iMinValue));
    case GUIP_MAXVALUE: return CGUIValue(static_cast<float>(m_iMaxValue));
    case GUIP_CURVALUE: return CGUIValue(static_cast<float>(m_iCurValue));
    case GUIP_PAGESIZE: return CGUIValue(static_cast<float>(m_iPageSize));
    case GUIP_SCROLLSPEED: return CGUIValue(static_cast<float>(m_iScrollSpeed));
    case GUIP_SLIDER: return CGUIValue(m_bFixedSlider);
    case GUIP_SLIDERSIZE: return CGUIValue(static_cast<float>(m_iFixedSliderSize));
    case GUIP_TEXTURE:
    case GUIP_TEXTURE_NORMAL: return CGUIValue(static_cast<float>(m_iTexNormal));
    case GUIP_TEXTURE_DISABLED: return CGUIValue(static_cast<float>(m_iTexDisabled));
    case GUIP_TEXTURE_SELECTED: return CGUIValue(static_cast<float>(m_iTexSelected));
    case GUIP_TEXTURE_PRESSED: return CGUIValue(static_cast<float>(m_iTexPressed));
    case GUIP_ACTIVERECT: return CGUIValue(m_rcActive);
    default: return CGUITile::GetParam(iID);
  }
}

// ---- commands -----------------------------------------------------------------------------

void CGUIScrollBar::Step(int64_t delta) {
  if (!(m_bEffEnabled && m_bEffVisible)) return;
  m_iCurValue = static_cast<int32_t>(std::clamp(int64_t{m_iCurValue} + delta, int64_t{m_iMinValue}, int64_t{m_iMaxValue}));
  LayoutSlider();
  RunOnScroll();  // even when the value stayed: the game may redraw on it
}

void CGUIScrollBar::ExecuteCommand(int32_t command) {
  EHS_CP();
  const auto step = [this] {
    int64_t units = TruncToInt(static_cast<float>(m_iScrollSpeed) * O2DGUI_GetFrameTime());
    if (m_bFast) units *= 3;
    return std::max(units, int64_t{1});
  };
  switch (command) {
    case GUICMD_SCROLL_STEPFORWARD: Step(step()); break;
    case GUICMD_SCROLL_STEPBACK: Step(-step()); break;
    case GUICMD_SCROLL_PAGEFORWARD: Step(m_iPageSize); break;
    case GUICMD_SCROLL_PAGEBACK: Step(-int64_t{m_iPageSize}); break;
    default: CGUITile::ExecuteCommand(command);
  }
}

// ---- update and draw -------------------------------------------------------------------

void CGUIScrollBar::HandleMouse() {
  COstrak* engine = O2D_GetEngine();
  if (m_bBarHovered && !m_bPrevBarHovered) RunAction(m_onGotFocus);
  if (!m_bBarHovered && m_bPrevBarHovered) RunAction(m_onLostFocus);
  m_bPrevBarHovered = m_bBarHovered;

  int32_t x = 0, y = 0;
  engine->MouseGetCursorPos(x, y);
  const float cursor = static_cast<float>(m_bVertical ? y : x);
  const float barStart = m_bVertical ? m_effRect.y : m_effRect.x;
  // The cursor's way to the press is not a drag: only later movement drags.
  const bool wasDragging = m_bDragging;
  if (engine->MouseIsKeyClicked(1)) {
    if (m_bSliderHovered) {
      m_bDragging = true;
    } else if (m_bBarHovered && m_bFixedSlider) {
      // The slider jumps under the cursor; the game hears of the new value.
      DragSlider(cursor - barStart - m_fSliderLength / 2.0f);
      m_bDragging = true;
    } else if (m_bBarHovered) {
      ExecuteCommand(cursor >= barStart + m_fSliderOffset ? GUICMD_SCROLL_PAGEFORWARD : GUICMD_SCROLL_PAGEBACK);
    }
  }
  if (!engine->MouseIsKeyPressed(1)) m_bDragging = false;
  const int32_t moved = m_bVertical ? engine->MouseGetCursorShiftY() : engine->MouseGetCursorShiftX();
  if (wasDragging && m_bDragging && moved != 0) DragSlider(m_fSliderOffset + static_cast<float>(moved));
}

// Each later input overrides the one before: wheel forward, Page Up, wheel
// backward, Page Down.
void CGUIScrollBar::HandleWheelAndKeys() {
  COstrak* engine = O2D_GetEngine();
  const int32_t wheel = engine->MouseGetWheelDelta();
  int32_t command = 0;
  if (wheel > 0) command = GUICMD_SCROLL_STEPBACK;
  if (engine->KeyboardIsKeyClicked(DIK_PRIOR)) command = GUICMD_SCROLL_PAGEBACK;
  if (wheel < 0) command = GUICMD_SCROLL_STEPFORWARD;
  if (engine->KeyboardIsKeyClicked(DIK_NEXT)) command = GUICMD_SCROLL_PAGEFORWARD;
  if (command == 0) return;
  m_bFast = wheel != 0;
  ExecuteCommand(command);
  m_bFast = false;
}

void CGUIScrollBar::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                           bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  m_rcEffActive = PlaceInParent(m_rcActive, parentRect, scrollX, scrollY);
  PlaceSlider();
  if (m_iMaxValue == m_iMinValue) m_bEffEnabled = false;

  const bool activeHovered = CursorIn(m_rcEffActive);
  m_bBarHovered = CursorIn(m_effRect);
  m_bSliderHovered = CursorIn(m_rcSlider);
  if (m_bEffEnabled && m_bEffVisible) HandleMouse();
  if (activeHovered) HandleWheelAndKeys();
  CheckTip();
}

void CGUIScrollBar::Draw() {
  EHS_CP();
  if (!m_bEffVisible) return;
  int32_t texture = -1;
  if (m_iTexNormal != -1) {
    if (!m_bEffEnabled) texture = m_iTexDisabled;
    else if (m_bDragging) texture = m_iTexPressed;
    else if (m_bSliderHovered) texture = m_iTexSelected;
    else texture = m_iTexNormal;
  }
  DrawTile(m_rcSlider, texture);
}
