#pragma once
// `flex`, an element whose update and drawing are entirely actions, and
// `timer`, an invisible element that runs actions every frame, over a period
// and at random intervals.
#include <cstdint>

#include "o2dgui_cguielement_main.h"

// The game draws the board and similar custom areas through a flex. It does
// not visit children.
class CGUIFlex : public CGUIElement {
 public:
  explicit CGUIFlex(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIFlex(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  // on_update gets the effective rect, colour, visible and enabled.
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override;

 private:
  CGUIAction m_onUpdate;
  CGUIAction m_onRedraw;
};

enum GUITimerCommandID : int32_t {
  GUICMD_TIMER_RESTART = 13,
};

// Runs while effectively enabled (commands 3 and 4 start and stop it); it is
// never drawn and its visibility plays no part.
class CGUITimer : public CGUIElement {
 public:
  explicit CGUITimer(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUITimer(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void ExecuteCommand(int32_t command) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
  void Draw() override {}

 private:
  void UpdateFactor(float frameTime);
  void UpdateRandom(float frameTime);
  // A delay from the shared generator: a multiple of 0.1 s from the minimum,
  // below the maximum.
  void NextRandomDelay();

  float m_fFactorPeriod = 1.0f;
  bool m_bFactorLooped = false;
  float m_fRandomMin = 0.0f;
  float m_fRandomMax = 0.1f;
  CGUIAction m_onPermanent;
  CGUIAction m_onFactor;
  CGUIAction m_onRandom;
  float m_fFactorTime = 0.0f;
  float m_fRandomTime = 0.0f;
  float m_fRandomDelay = 0.1f;
};
