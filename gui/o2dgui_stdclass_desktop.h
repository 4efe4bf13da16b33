#pragma once
// The root element "DESKTOP": the whole screen, always shown and enabled
// unless data says otherwise; it draws nothing of its own.
#include "o2dgui_cguielement_main.h"

class CGUIDesktop : public CGUIElement {
 public:
  explicit CGUIDesktop(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIDesktop(id); }

  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;
};
