#pragma once
// CGUIElement, the base of every GUI element class: its place in the tree, the
// base parameters and commands, and the walks' shared steps.
#include <cstdint>
#include <string>
#include <vector>

#include "o2dgui_datatypes.h"

class CGUIElement {
 public:
  explicit CGUIElement(std::string id);
  CGUIElement(const CGUIElement&) = delete;
  CGUIElement& operator=(const CGUIElement&) = delete;

  // The eight operations every class may replace, in this order.
  virtual ~CGUIElement();
  // Joins the parent's children. An element gets a parent once only.
  virtual void SetParent(CGUIElement* parent);
  // Updates every child with this element's effective values and no scrolling.
  virtual void UpdateChildren();
  // Each class handles its own parameters and commands and passes the rest down;
  // this base refuses what no class handled.
  virtual void SetParam(int32_t iID, const CGUIValue& value);
  virtual CGUIValue GetParam(int32_t iID);
  virtual void ExecuteCommand(int32_t command);
  virtual void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
                      float scrollX, float scrollY);
  virtual void Draw();

  const std::string& GetID() const { return m_strID; }
  CGUIElement* GetParent() const { return m_pParent; }
  const std::vector<CGUIElement*>& GetChildren() const { return m_children; }
  int32_t GetZOrder() const { return m_iZOrder; }
  const GUIRECT& GetCoords() const { return m_rcCoords; }
  int32_t GetTechnique() const { return m_iTechnique; }
  int32_t GetTexture() const { return m_iTexture; }
  const GUIRECT& GetColor() const { return m_color; }
  bool IsVisible() const { return m_bVisible; }
  bool IsEnabled() const { return m_bEnabled; }
  int32_t GetTip() const { return m_iTip; }
  int32_t GetTag() const { return m_iTag; }
  const GUIRECT& GetEffectiveColor() const { return m_effColor; }
  const GUIRECT& GetEffectiveRect() const { return m_effRect; }
  bool IsEffectiveVisible() const { return m_bEffVisible; }
  bool IsEffectiveEnabled() const { return m_bEffEnabled; }

 protected:
  // The shared update steps: effective colour, position, visibility and enabled
  // state from the parent's; the tip check; the children when this element is
  // effectively visible or enabled.
  void UpdateEffective(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
                       float scrollX, float scrollY);
  void CheckTip() const { CheckTip(m_effRect); }
  // The same with the cursor in another rect (an active rect).
  void CheckTip(const GUIRECT& rect) const;
  void UpdateChildrenIfActive();
  // Draws every child when this element is effectively visible.
  void DrawChildren();
  // Drawing clipped to the effective rect; ClipToScreen makes the whole screen
  // drawable again.
  void ClipToEffectiveRect() const;
  static void ClipToScreen();
  // A rect placed in the parent's effective rect, less the scroll offsets.
  static GUIRECT PlaceInParent(const GUIRECT& rect, const GUIRECT& parentRect, float scrollX, float scrollY) {
    return {parentRect.x + rect.x - scrollX, parentRect.y + rect.y - scrollY, rect.width, rect.height};
  }
  // Whether the mouse cursor lies in the rect: [left, left + width) by [top, top + height).
  static bool CursorIn(const GUIRECT& rect);
  // Runs an action through the manager unless it is unset.
  static void RunAction(const CGUIAction& action);
  // A texture, technique or element reference given as a string ID or a number.
  static int32_t TextureFromValue(const CGUIValue& value);
  static int32_t TechniqueFromValue(const CGUIValue& value);
  // A sound given as a string ID (demanded) or a number; -1 is none.
  static int32_t SoundFromValue(const CGUIValue& value);
  // Plays a sound with its own settings unless it is -1.
  static void PlaySound(int32_t sound);
  static int32_t TruncToInt(float value);

  std::string m_strID;
  CGUIElement* m_pParent = nullptr;
  std::vector<CGUIElement*> m_children;  // not owned: the manager owns every element
  int32_t m_iZOrder = 0;
  GUIRECT m_rcCoords;
  int32_t m_iTechnique = -1;
  int32_t m_iTexture = -1;
  GUIRECT m_color{1.0f, 1.0f, 1.0f, 1.0f};
  bool m_bVisible = false;
  bool m_bEnabled = false;
  int32_t m_iTip = -1;
  int32_t m_iTag = 0;
  GUIRECT m_effColor{1.0f, 1.0f, 1.0f, 1.0f};
  GUIRECT m_effRect;
  bool m_bEffVisible = false;
  bool m_bEffEnabled = false;

 private:
  void SortSiblings();
};

// Base command numbers; classes add their own from 5 on.
enum GUICommandID : int32_t {
  GUICMD_SHOW = 1,
  GUICMD_HIDE = 2,
  GUICMD_ENABLE = 3,
  GUICMD_DISABLE = 4,
};
