#pragma once
// The scroll bars `horscroll` and `verscroll`: a slider dragged over an integer
// range. Both share CGUIScrollBar and differ only in the axis they run along.
#include <cstdint>

#include "o2dgui_stdclass_tile.h"

enum GUIScrollCommandID : int32_t {
  GUICMD_SCROLL_STEPFORWARD = 9,
  GUICMD_SCROLL_STEPBACK = 10,
  GUICMD_SCROLL_PAGEFORWARD = 11,
  GUICMD_SCROLL_PAGEBACK = 12,
};

// The bar draws only its slider (with the tile scheme); the track behind it is a
// separate element. It takes no input while its range is empty.
class CGUIScrollBar : public CGUITile {
 public:
  CGUIScrollBar(std::string id, bool vertical);

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void ExecuteCommand(int32_t command) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override;

  // The three operations of the axis, after the element's eight:
  // the slider's length, offset and rect from the value;
  virtual void LayoutSlider() = 0;
  // the value from the slider's offset;
  virtual void ValueFromOffset() = 0;
  // a dragged offset: kept on the track, the value taken from it, on_scroll run.
  virtual void DragSlider(float offset) = 0;

  int32_t GetValue() const { return m_iCurValue; }
  const GUIRECT& GetSliderRect() const { return m_rcSlider; }

 protected:
  // The axis-free halves of the three operations, for a track of `length`
  // pixels across `thickness`.
  void LayoutAlong(float length, float thickness);
  void ValueAlong(float length);
  void DragAlong(float offset, float length);
  // The slider rect at the effective position, for either axis.
  void PlaceSlider();
  void RunOnScroll() { RunAction(m_onScroll); }

  int32_t m_iMinValue = 0;
  int32_t m_iMaxValue = 0;
  int32_t m_iCurValue = 0;
  int32_t m_iPageSize = 0;
  int32_t m_iScrollSpeed = 100;  // units per second
  bool m_bFixedSlider = false;
  int32_t m_iFixedSliderSize = 0;
  int32_t m_iTexNormal = -1;
  int32_t m_iTexDisabled = -1;
  int32_t m_iTexSelected = -1;
  int32_t m_iTexPressed = -1;
  CGUIAction m_onScroll;
  CGUIAction m_onGotFocus;
  CGUIAction m_onLostFocus;
  GUIRECT m_rcActive;
  float m_fSliderLength = 0.0f;
  float m_fSliderOffset = 0.0f;
  bool m_bDragging = false;
  bool m_bSliderHovered = false;
  bool m_bBarHovered = false;
  bool m_bPrevBarHovered = false;
  bool m_bFast = false;  // a wheel step moves three times as far
  GUIRECT m_rcSlider;
  GUIRECT m_rcEffActive;

 private:
  void HandleMouse();
  void HandleWheelAndKeys();
  // Steps and pages within the range; only an enabled, visible bar moves.
  void Step(int64_t delta);
  const bool m_bVertical;
};

class CGUIHorScroll : public CGUIScrollBar {
 public:
  explicit CGUIHorScroll(std::string id) : CGUIScrollBar(std::move(id), false) {}
  static CGUIElement* Create(const std::string& id) { return new CGUIHorScroll(id); }

  void LayoutSlider() override { LayoutAlong(m_rcCoords.width, m_rcCoords.height); }
  void ValueFromOffset() override { ValueAlong(m_rcCoords.width); }
  void DragSlider(float offset) override { DragAlong(offset, m_rcCoords.width); }
};

class CGUIVerScroll : public CGUIScrollBar {
 public:
  explicit CGUIVerScroll(std::string id) : CGUIScrollBar(std::move(id), true) {}
  static CGUIElement* Create(const std::string& id) { return new CGUIVerScroll(id); }

  void LayoutSlider() override { LayoutAlong(m_rcCoords.height, m_rcCoords.width); }
  void ValueFromOffset() override { ValueAlong(m_rcCoords.height); }
  void DragSlider(float offset) override { DragAlong(offset, m_rcCoords.height); }
};
