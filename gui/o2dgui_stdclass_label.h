#pragma once
// `label`, a line of text in a font, and `textbox`, a label the player types
// into while it has the keyboard focus.
#include <string>

#include "o2dgui_cguielement_main.h"

class CGUILabel : public CGUIElement {
 public:
  explicit CGUILabel(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUILabel(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  // A label has no children in the walks: its update and draw visit none.
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override;

 protected:
  // The effective values of the update, without the tip check.
  void UpdateLabelEffective(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible,
                            bool parentEnabled, float scrollX, float scrollY);
  // The width the alignment needs; 0 for left alignment or without a font.
  void UpdateTextWidth();
  // What is drawn: the text, or for a text box the text with its caret.
  virtual const std::string& ShownText() const { return m_strText; }

  int32_t m_iFont = -1;
  int32_t m_iFontColor = -1;
  float m_fFontAlpha = 1.0f;
  bool m_bFontDefaultTechnique = true;
  float m_fFontScale = 1.0f;
  float m_fFontShiftX = 0.0f;
  float m_fFontShiftY = 0.0f;
  std::string m_strText;
  int32_t m_iAlignment = 1;
  bool m_bLimitViewport = false;
  float m_fTextWidth = 0.0f;
  float m_fEffFontAlpha = 1.0f;
};

class CGUITextBox : public CGUILabel {
 public:
  explicit CGUITextBox(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUITextBox(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  // 3 takes the keyboard focus, 4 gives it up.
  void ExecuteCommand(int32_t command) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;

 protected:
  const std::string& ShownText() const override { return m_strShown; }

 private:
  void TakeInput();
  void Blink();
  void ShowText() { m_strShown = m_bCaretOn ? m_strText + m_strBlinkChar : m_strText; }

  GUIRECT m_rcActive;
  float m_fBlinkTime = 0.4f;
  std::string m_strBlinkChar = "_";
  int32_t m_iMaxChars = 100;
  CGUIAction m_onEnable;
  CGUIAction m_onDisable;
  CGUIAction m_onInput;
  int32_t m_iSoundInput = -1;
  int32_t m_iLanguage = 1;
  std::string m_strShown;
  float m_fCaretTimer = 0.0f;
  bool m_bCaretOn = false;
  GUIRECT m_rcEffActive;
};
