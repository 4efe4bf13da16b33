#include "o2dgui_stdclass_list.h"

#include <algorithm>
#include <vector>

#include "costrak.h"
#include "o2d_input.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_STDCLASS_LIST;

// ---- listbox --------------------------------------------------------------------------

CGUIListBox::CGUIListBox(std::string id) : CGUIElement(std::move(id)) {}

int32_t CGUIListBox::CellOrNone(int32_t index) const { return index >= 0 && index < m_iCellsCount ? index : -1; }

// The new cell is stored before the action runs, so the action reads it.
void CGUIListBox::Select(int32_t index) {
  index = CellOrNone(index);
  if (index == m_iSelectedCell) return;
  m_iSelectedCell = index;
  RunAction(m_onSelectCell);
  if (index != -1 && m_bEffEnabled) PlaySound(m_iSoundSelectCell);
}

void CGUIListBox::Check(int32_t index) {
  index = CellOrNone(index);
  m_iCheckedCell = index;
  RunAction(m_onCheckCell);
  if (index != -1) PlaySound(m_iSoundCheckCell);
}

// The offset stays within the cells: the last cell ends at the bottom at most.
void CGUIListBox::SetScrollY(float offset) {
  const float limit = static_cast<float>(m_iCellsCount) * m_fCellHeight - m_rcCoords.height;
  if (offset > limit) offset = limit;
  if (!(offset >= 0.0f)) offset = 0.0f;
  m_fScrollY = offset;
}

void CGUIListBox::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_CELLHEIGHT: {
      const float height = value.GetFloat();
      m_fCellHeight = height >= 1.0f ? height : 1.0f;
      break;
    }
    case GUIP_CELLSCOUNT:
      m_iCellsCount = std::max(TruncToInt(value.GetFloat()), 0);
      if (m_iSelectedCell >= m_iCellsCount) m_iSelectedCell = -1;
      if (m_iCheckedCell >= m_iCellsCount) m_iCheckedCell = -1;
      break;
    case GUIP_SELECTEDCELL: Select(TruncToInt(value.GetFloat())); break;
    case GUIP_CHECKEDCELL: Check(TruncToInt(value.GetFloat())); break;
    case GUIP_SCROLLY: SetScrollY(value.GetFloat()); break;
    case GUIP_ON_SELECTCELL: m_onSelectCell.Set(value); break;
    case GUIP_ON_CHECKCELL: m_onCheckCell.Set(value); break;
    case GUIP_ON_REDRAWCELL: m_onRedrawCell.Set(value); break;
    case GUIP_ON_PREPAREFRAME: m_onPrepareFrame.Set(value); break;
    case GUIP_ON_SCROLLSHIFT: m_onScrollShift.Set(value); break;
    case GUIP_SOUND_SELECTCELL: m_iSoundSelectCell = SoundFromValue(value); break;
    case GUIP_SOUND_CHECKCELL: m_iSoundCheckCell = SoundFromValue(value); break;
    case GUIP_SCROLL_ENABLED: m_bScrollEnabled = value.GetBool(); break;
    default: CGUIElement::SetParam(iID, value);
  }
}

CGUIValue CGUIListBox::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_CELLHEIGHT: return CGUIValue(m_fCellHeight);
    case GUIP_CELLSCOUNT: return CGUIValue(static_cast<float>(m_iCellsCount));
    case GUIP_SELECTEDCELL: return CGUIValue(static_cast<float>(m_iSelectedCell));
    case GUIP_CHECKEDCELL: return CGUIValue(static_cast<float>(m_iCheckedCell));
    case GUIP_SCROLLY: return CGUIValue(m_fScrollY);
    case GUIP_SOUND_SELECTCELL: return CGUIValue(static_cast<float>(m_iSoundSelectCell));
    case GUIP_SOUND_CHECKCELL: return CGUIValue(static_cast<float>(m_iSoundCheckCell));
    case GUIP_SCROLL_ENABLED: return CGUIValue(m_bScrollEnabled);
    default: return CGUIElement::GetParam(iID);
  }
}

void CGUIListBox::HandleKeys() {
  if (m_iCheckedCell == -1) return;
  COstrak* engine = O2D_GetEngine();
  int32_t cell = m_iCheckedCell;
  if (engine->KeyboardIsKeyClicked(DIK_UP)) cell = std::max(cell - 1, 0);
  if (engine->KeyboardIsKeyClicked(DIK_DOWN)) cell = std::min(cell + 1, m_iCellsCount - 1);
  if (cell == m_iCheckedCell) return;
  m_iCheckedCell = cell;
  m_iSelectedCell = cell;

  const float top = static_cast<float>(cell) * m_fCellHeight;
  if (top < m_fScrollY) m_fScrollY = top;
  if (top > m_fScrollY + m_effRect.height - m_fCellHeight) m_fScrollY = top - m_effRect.height + m_fCellHeight;
  COstrakGUI::GetInstance()->ExecuteAction(m_onScrollShift, {CGUIValue(m_fScrollY)});
  Check(cell);
}

void CGUIListBox::HandleMouse() {
  if (!CursorIn(m_effRect)) {
    Select(-1);
    return;
  }
  int32_t x = 0, y = 0;
  O2D_GetEngine()->MouseGetCursorPos(x, y);
  float cell = (static_cast<float>(y) + m_fScrollY - m_effRect.y) / m_fCellHeight;
  Select(TruncToInt(cell));
  // Below the last cell a click still chooses the last one.
  cell = std::min(cell, static_cast<float>(m_iCellsCount - 1));
  if (O2D_GetEngine()->MouseIsKeyClicked(1)) Check(TruncToInt(cell));
}

void CGUIListBox::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                         bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  if (m_bEffVisible && m_bEffEnabled && m_iCellsCount > 0) {
    if (m_bScrollEnabled) HandleKeys();
    HandleMouse();
  }
  if (m_bEffVisible && m_onPrepareFrame.IsSet()) {
    COstrakGUI::GetInstance()->ExecuteAction(
        m_onPrepareFrame, {CGUIValue(static_cast<float>(m_iSelectedCell)), CGUIValue(static_cast<float>(m_iCheckedCell)),
                           CGUIValue(m_effColor), CGUIValue(m_bEffEnabled)});
  }
}

void CGUIListBox::Draw() {
  EHS_CP();
  if (!m_bEffVisible || m_iCellsCount <= 0 || !m_onRedrawCell.IsSet()) return;
  // 64-bit: neither the first cell plus the count nor the loop may overflow.
  const int64_t first = std::max(TruncToInt(m_fScrollY / m_fCellHeight), 0);
  int64_t count = int64_t{TruncToInt((m_fCellHeight * 0.5f + m_rcCoords.height) / m_fCellHeight)} + 1;
  count = std::min(count, int64_t{m_iCellsCount} - first);

  ClipToEffectiveRect();
  COstrakGUI* gui = COstrakGUI::GetInstance();
  for (int64_t cell = first; cell < first + count; ++cell) {
    const GUIPOINT at{m_effRect.x, m_effRect.y + static_cast<float>(cell) * m_fCellHeight - m_fScrollY};
    gui->ExecuteAction(m_onRedrawCell, {CGUIValue(static_cast<float>(cell)), CGUIValue(at)});
  }
  ClipToScreen();
}

// ---- scrollbox ------------------------------------------------------------------------

CGUIScrollBox::CGUIScrollBox(std::string id) : CGUIElement(std::move(id)) {}

void CGUIScrollBox::SetParam(int32_t iID, const CGUIValue& value) {
  EHS_CP();
  switch (iID) {
    case GUIP_SCROLLX: m_fScrollX = value.GetFloat(); break;
    case GUIP_SCROLLY: m_fScrollY = value.GetFloat(); break;
    default: CGUIElement::SetParam(iID, value);
  }
}

CGUIValue CGUIScrollBox::GetParam(int32_t iID) {
  EHS_CP();
  switch (iID) {
    case GUIP_SCROLLX: return CGUIValue(m_fScrollX);
    case GUIP_SCROLLY: return CGUIValue(m_fScrollY);
    default: return CGUIElement::GetParam(iID);
  }
}

void CGUIScrollBox::Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                           bool parentEnabled, float scrollX, float scrollY) {
  EHS_CP();
  UpdateEffective(parentRect, parentColor, parentVisible, parentEnabled, scrollX, scrollY);
  CheckTip();
  if (m_children.empty() || !(m_bEffVisible || m_bEffEnabled)) return;
  for (CGUIElement* child : m_children) {
    // Strict overlap of the shifted child with the box's own area (0, 0, w, h).
    const GUIRECT& c = child->GetCoords();
    const float x = c.x - m_fScrollX, y = c.y - m_fScrollY;
    const bool inside = x < m_rcCoords.width && x + c.width > 0.0f && y < m_rcCoords.height && y + c.height > 0.0f;
    child->Update(m_effRect, m_effColor, inside && m_bEffVisible, inside && m_bEffEnabled, m_fScrollX, m_fScrollY);
  }
}

void CGUIScrollBox::Draw() {
  EHS_CP();
  if (!m_bEffVisible) return;
  ClipToEffectiveRect();
  DrawChildren();
  ClipToScreen();
}
