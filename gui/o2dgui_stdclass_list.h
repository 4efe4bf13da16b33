#pragma once
// `listbox`, a scrollable column of equal cells whose drawing is left to an
// action, and `scrollbox`, a clipping container whose children scroll.
#include <cstdint>

#include "o2dgui_cguielement_main.h"

// Cells are addressed by index from 0; -1 means none. The hovered cell is the
// selected one, the clicked (chosen) cell the checked one.
class CGUIListBox : public CGUIElement {
 public:
  explicit CGUIListBox(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIListBox(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  // Each visible cell is drawn by on_redrawcell, clipped to the list.
  void Draw() override;

 private:
  // An index outside the cells becomes -1.
  int32_t CellOrNone(int32_t index) const;
  void Select(int32_t index);
  void Check(int32_t index);
  void SetScrollY(float offset);
  // Up and Down move the checked cell and keep it in view.
  void HandleKeys();
  void HandleMouse();

  float m_fCellHeight = 1.0f;
  int32_t m_iCellsCount = 0;
  int32_t m_iSelectedCell = -1;
  int32_t m_iCheckedCell = -1;
  float m_fScrollY = 0.0f;
  CGUIAction m_onSelectCell;
  CGUIAction m_onCheckCell;
  CGUIAction m_onRedrawCell;
  CGUIAction m_onPrepareFrame;
  CGUIAction m_onScrollShift;
  int32_t m_iSoundSelectCell = -1;
  int32_t m_iSoundCheckCell = -1;
  bool m_bScrollEnabled = false;
};

// Children are shifted by the scroll offset and clipped to the box; a child
// wholly outside the box's area is neither drawn nor reacts.
class CGUIScrollBox : public CGUIElement {
 public:
  explicit CGUIScrollBox(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIScrollBox(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override;

 private:
  float m_fScrollX = 0.0f;
  float m_fScrollY = 0.0f;
};
