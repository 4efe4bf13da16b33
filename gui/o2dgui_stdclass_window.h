#pragma once
// `window`: an untextured container that fades and slides between its hidden
// and shown colour and location, drawing only its children.
#include <cstdint>

#include "o2dgui_cguielement_main.h"

class CGUIWindow : public CGUIElement {
 public:
  enum State : int32_t { HIDDEN = 1, SHOWING = 2, HIDING = 3, SHOWN = 4 };

  explicit CGUIWindow(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIWindow(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void ExecuteCommand(int32_t command) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override;

  int32_t GetState() const { return m_iState; }

 private:
  GUIRECT m_colorHidden{1.0f, 1.0f, 1.0f, 0.0f};
  GUIRECT m_colorMiddle{1.0f, 1.0f, 1.0f, 0.5f};
  GUIRECT m_colorShown{1.0f, 1.0f, 1.0f, 1.0f};
  GUIPOINT m_locHidden;
  GUIPOINT m_locMiddle;
  GUIPOINT m_locShown;
  float m_fShowHideTime = 0.001f;
  CGUIAction m_onHide;
  CGUIAction m_onShow;
  CGUIAction m_onEnable;
  CGUIAction m_onDisable;
  int32_t m_iSoundHide = -1;
  int32_t m_iSoundShow = -1;
  float m_fTime = 0.0f;  // 0 hidden .. show/hide time shown
  int32_t m_iState = HIDDEN;
};
