#pragma once
// The textured elements: `tile` (a texture drawn by one of eight slicing
// schemes), `tip` (the tool tip the manager shows at the cursor) and `advtile`
// (a tile that reacts to the mouse and a hot key).
#include <cstdint>

#include "o2dgui_cguielement_main.h"

// Slicing schemes of `drawscheme`.
enum GUIDrawScheme : int32_t {
  GUIDS_STRETCH = 1,      // the texcoords rectangle over the whole rect
  GUIDS_ACROSS = 2,       // three parts across: fixed ends, stretched middle
  GUIDS_DOWN = 3,         // three parts down
  GUIDS_NINE = 4,         // corners, edges and centre
  GUIDS_FRAME = 5,        // as nine without the centre
  GUIDS_NONE = 6,         // nothing of its own
  GUIDS_ACROSS_BAND = 7,  // three across from the texture's middle band
  GUIDS_DOWN_BAND = 8,    // three down from the texture's middle column
};

class CGUITile : public CGUIElement {
 public:
  explicit CGUITile(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUITile(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void Draw() override;

  int32_t GetDrawScheme() const { return m_iDrawScheme; }
  const GUIRECT& GetDrawParams() const { return m_drawParams; }
  const GUIRECT& GetTexCoords() const { return m_texCoords; }
  float GetBorderU() const { return m_fBorderU; }
  float GetBorderV() const { return m_fBorderV; }

 protected:
  // The technique (unless -1), the texture on stage 0 (unless -1) and the
  // effective colour, then the scheme's quads on rect. Classes that switch
  // textures (buttons, scroll bars) pass the one they show.
  void DrawTile(const GUIRECT& rect, int32_t texture) const;
  // Only the scheme's quads on rect, with whatever state is set.
  void DrawScheme(const GUIRECT& rect) const;
  // One quad: texture rectangle (left u, top v, right u, bottom v) to screen
  // rectangle (x, y, width, height).
  static void DrawQuad(float l, float t, float r, float b, float x, float y, float w, float h);

  int32_t m_iDrawScheme = GUIDS_STRETCH;
  GUIRECT m_drawParams{64.0f, 64.0f, 16.0f, 16.0f};  // texture width, height, border width, height
  GUIRECT m_texCoords{0.0f, 0.0f, 1.0f, 1.0f};       // left u, top v, right u, bottom v
  float m_fBorderU = 0.25f;
  float m_fBorderV = 0.25f;
};

// The tip shown when the mouse rests on an element: the manager updates and
// draws it at the cursor, and it fades in over its appear time.
class CGUITip : public CGUITile {
 public:
  explicit CGUITip(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUITip(id); }

  // Records the parent without joining its children: only the manager draws a tip.
  void SetParent(CGUIElement* parent) override;
  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void ExecuteCommand(int32_t command) override;
  // The parent arguments are ignored: the tip follows the cursor.
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;

 protected:
  float m_fAppearTime = 0.01f;
  CGUIAction m_onShow;
  float m_fCountdown = 0.0f;
};

// A tile that notices the mouse (focus means the mouse being over it), a left
// click on it and its hot key.
class CGUIAdvTile : public CGUITile {
 public:
  explicit CGUIAdvTile(std::string id);
  static CGUIElement* Create(const std::string& id) { return new CGUIAdvTile(id); }

  void SetParam(int32_t iID, const CGUIValue& value) override;
  CGUIValue GetParam(int32_t iID) override;
  void Update(const GUIRECT& parentRect, const GUIRECT& parentColor, bool parentVisible, bool parentEnabled,
              float scrollX, float scrollY) override;

  bool IsMouseOver() const { return m_bMouseOver; }
  uint8_t GetHotKey() const { return m_iHotKey; }

 protected:
  // Mouse-over from the cursor in rect; runs on_gotfocus / on_lostfocus when it
  // changes. Returns whether the mouse is over.
  bool UpdateMouseOver(const GUIRECT& rect);
  // Whether the left button went down this frame / the hot key was pressed this frame.
  static bool LeftClicked();
  bool HotKeyClicked() const;
  // The input steps of an enabled, visible advtile: focus, click, hot key.
  void HandleInput();

  CGUIAction m_onGotFocus;
  CGUIAction m_onLostFocus;
  CGUIAction m_onClick;
  CGUIAction m_onHotKey;
  uint8_t m_iHotKey = 0;  // 0: none
  bool m_bMouseOver = false;
  bool m_bPrevMouseOver = false;
};
