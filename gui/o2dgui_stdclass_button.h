#pragma once
// `button`, an advtile with four looks (normal, disabled, selected, pressed),
// press, click and hold events and sounds, and `checkbox`, a button that
// toggles a checked state, alone or as one member of a radio group.
#include <array>
#include <cstdint>

#include "o2dgui_stdclass_tile.h"

class CGUIButton : public CGUIAdvTile {
 public:
  explicit CGUIButton(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIButton(id); }

  // The children get the colour of the button's state, not its effective colour.
  void UpdateChildren() override;
  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void ExecuteCommand(int32_t command) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override;

  int32_t GetState() const { return m_iState; }

 protected:
  // Per-look values, in the order of their parameters.
  enum Look : int32_t { LOOK_NORMAL, LOOK_DISABLED, LOOK_SELECTED, LOOK_PRESSED, LOOK_COUNT };
  using Textures = std::array<int32_t, LOOK_COUNT>;
  using Colors = std::array<GUIRECT, LOOK_COUNT>;

  enum State : int32_t { STATE_NORMAL = 1, STATE_SELECTED = 2, STATE_PRESSED = 3 };

  Look CurrentLook() const;
  // A checked radio member does not react to the mouse.
  virtual bool IgnoresMouse() const { return false; }
  virtual const Textures& LookTextures() const { return m_textures; }
  virtual const Colors& LookColors() const { return m_childColors; }
  // The events of this frame's state change.
  virtual void EventStep();
  // Released over the button after a press that began on it.
  bool ReleasedInside() const {
    return m_iState == STATE_SELECTED && m_iPrevState == STATE_PRESSED && !m_bPressedInside;
  }
  // Click at the press, focus and hot key: the steps buttons and check boxes share.
  void ClickFocusHotKey();
  void Notify(int32_t sound, const CGUIAction& action);
  bool SoundsOn() const { return m_bEnabled && m_bEffEnabled; }

  Textures m_textures{-1, -1, -1, -1};
  Colors m_childColors;
  CGUIAction m_onPress;
  CGUIAction m_onHold;
  CGUIAction m_onEnable;
  CGUIAction m_onDisable;
  int32_t m_iSoundPress = -1;
  int32_t m_iSoundClick = -1;
  int32_t m_iSoundGotFocus = -1;
  int32_t m_iSoundLostFocus = -1;
  int32_t m_iSoundHotKey = -1;
  GUIRECT m_rcActive;
  float m_fHoldStart = 0.0f;
  float m_fHoldInterval = 0.0f;
  int32_t m_iState = STATE_NORMAL;
  int32_t m_iPrevState = STATE_NORMAL;
  float m_fHoldTimer = 0.0f;
  bool m_bHolding = false;
  bool m_bPressedInside = false;
  GUIRECT m_rcEffActive;
  GUIRECT m_childColor{1.0f, 1.0f, 1.0f, 1.0f};

 private:
  void HoldStep();
};

class CGUICheckBox : public CGUIButton {
 public:
  explicit CGUICheckBox(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUICheckBox(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  // 7 checks, 8 unchecks; each runs its action with the tag.
  void ExecuteCommand(int32_t command) override;

  bool IsChecked() const { return m_bChecked; }

 protected:
  bool IgnoresMouse() const override { return m_bChecked && m_bRadio; }
  const Textures& LookTextures() const override { return m_bChecked ? m_checkedTextures : m_textures; }
  const Colors& LookColors() const override { return m_bChecked ? m_checkedColors : m_childColors; }
  void EventStep() override;

 private:
  void RunWithTag(const CGUIAction& action) const;

  bool m_bChecked = false;
  bool m_bRadio = false;
  Textures m_checkedTextures{-1, -1, -1, -1};
  Colors m_checkedColors;
  CGUIAction m_onCheck;
  CGUIAction m_onUncheck;
  int32_t m_iSoundCheck = -1;
  int32_t m_iSoundUncheck = -1;
};

// Commands of check boxes.
enum GUICheckBoxCommand : int32_t {
  GUICMD_CHECK = 7,
  GUICMD_UNCHECK = 8,
};
