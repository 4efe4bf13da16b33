#pragma once
// The GUI's value types: points and rects, the tagged parameter value, the
// action an event runs, enums and styles, and the table of every element
// parameter with its number, name and type.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct GUIPOINT {
  float x = 0.0f;
  float y = 0.0f;
};

// x, y, width, height as a rectangle; R, G, B, A as a colour.
struct GUIRECT {
  float x = 0.0f;
  float y = 0.0f;
  float width = 0.0f;
  float height = 0.0f;
};

class CGUIEnum;

// A native action: a game function with no arguments and no result. Actions
// that carry data read it from the manager's action-argument list.
using O2DGUIActionFn = void (*)();

// Value type tags; a parameter's registered type uses the same numbers.
enum GUIValueType : int32_t {
  GUIVT_NONE = 0,
  GUIVT_FLOAT = 1,
  GUIVT_BOOLEAN = 2,
  GUIVT_STRING = 3,
  GUIVT_FUNCTION = 4,
  GUIVT_POINT = 5,
  GUIVT_RECT = 6,
  GUIVT_ENUM = 7,
};

// One value of one of seven types. There is no conversion between types: a
// getter called for another type raises the General record of that getter.
class CGUIValue {
 public:
  CGUIValue() = default;
  explicit CGUIValue(float value) { SetFloat(value); }
  explicit CGUIValue(bool value) { SetBool(value); }
  explicit CGUIValue(std::string value) { SetString(std::move(value)); }
  explicit CGUIValue(const char* value) { SetString(value ? value : ""); }
  explicit CGUIValue(O2DGUIActionFn value) { SetFunction(value); }
  explicit CGUIValue(const GUIPOINT& value) { SetPoint(value); }
  explicit CGUIValue(const GUIRECT& value) { SetRect(value); }
  explicit CGUIValue(CGUIEnum* value) { SetEnum(value); }

  void SetFloat(float value);
  void SetBool(bool value);
  void SetString(std::string value);
  void SetFunction(O2DGUIActionFn value);
  void SetPoint(const GUIPOINT& value);
  void SetRect(const GUIRECT& value);
  void SetEnum(CGUIEnum* value);

  int32_t GetType() const { return m_iType; }
  float GetFloat() const;
  bool GetBool() const;
  const std::string& GetString() const;
  O2DGUIActionFn GetFunction() const;
  const GUIPOINT& GetPoint() const;
  const GUIRECT& GetRect() const;
  CGUIEnum* GetEnum() const;

 private:
  void Reset(int32_t type);

  float m_fValue = 0.0f;
  bool m_bValue = false;
  std::string m_strValue;
  O2DGUIActionFn m_pfnValue = nullptr;
  GUIPOINT m_ptValue;
  GUIRECT m_rcValue;
  CGUIEnum* m_pEnumValue = nullptr;  // not owned: the enum store holds it
  int32_t m_iType = GUIVT_NONE;
};

enum GUIActionKind : int32_t {
  GUIACTION_NONE = 0,
  GUIACTION_LUA = 1,
  GUIACTION_NATIVE = 2,
};

// The value of every on_... parameter: a Lua function by name or a native
// function by pointer. An action of kind 0 is never executed.
struct CGUIAction {
  std::string strFunction;
  O2DGUIActionFn pfnFunction = nullptr;
  int32_t iKind = GUIACTION_NONE;

  // A string makes a Lua action, a function pointer a native one; any other
  // value leaves the action as it is.
  void Set(const CGUIValue& value);
  // The value Set would take: the name, the pointer, or none.
  CGUIValue Get() const;
  bool IsSet() const { return iKind != GUIACTION_NONE; }
};

// An ordered list of named strings (animation frames and the like); only the
// values are used, the names fix the order.
class CGUIEnum {
 public:
  void AddEntry(std::string name, std::string value);
  int32_t GetCount() const { return static_cast<int32_t>(m_values.size()); }
  // An index outside the list raises the standard range error.
  const std::string& GetValue(int32_t index) const;
  const std::string& GetName(int32_t index) const;

 private:
  std::vector<std::string> m_names;
  std::vector<std::string> m_values;
};

// A stored parameter set, applied to an element in the order it was filled.
class CGUIStyle {
 public:
  void Add(int32_t iID, CGUIValue value);
  // Sets each parameter on the element through the manager; an empty style
  // only logs a warning.
  void ApplyToElement(int32_t elementIndex) const;
  int32_t GetCount() const { return static_cast<int32_t>(m_iIDs.size()); }

 private:
  std::vector<int32_t> m_iIDs;
  std::vector<CGUIValue> m_values;
};

// Parameter numbers: the external interface of every element, used by the
// game and scripts (6 is visible, 53 is text).
enum GUIParamID : int32_t {
  GUIP_ZORDER = 1, GUIP_COORDS, GUIP_TECHNIQUE, GUIP_TEXTURE, GUIP_COLOR, GUIP_VISIBLE, GUIP_ENABLED, GUIP_TIP,
  GUIP_DRAWSCHEME, GUIP_DRAWPARAMS, GUIP_TEXCOORDS, GUIP_TIPAPPEARTIME, GUIP_ON_GOTFOCUS, GUIP_ON_LOSTFOCUS,
  GUIP_ON_CLICK, GUIP_ON_HOTKEY, GUIP_HOTKEY, GUIP_COLOR_HIDDEN, GUIP_COLOR_MIDDLE, GUIP_COLOR_SHOWN,
  GUIP_LOCATION_HIDDEN, GUIP_LOCATION_MIDDLE, GUIP_LOCATION_SHOWN, GUIP_TIME_SHOWHIDE, GUIP_ON_HIDE, GUIP_ON_SHOW,
  GUIP_ON_ENABLE, GUIP_ON_DISABLE, GUIP_SOUND_HIDE, GUIP_SOUND_SHOW, GUIP_COLOR_BEGIN, GUIP_COLOR_END,
  GUIP_LOCATION_BEGIN, GUIP_LOCATION_END, GUIP_LOCATION_CENTER, GUIP_SCALE_BEGIN, GUIP_SCALE_MIDDLE,
  GUIP_SCALE_END, GUIP_ANGLE_BEGIN, GUIP_ANGLE_MIDDLE, GUIP_ANGLE_END, GUIP_ENUM_FRAMES, GUIP_TIME_ANIMCYCLE,
  GUIP_LOOPED, GUIP_NOPARENTENABLED, GUIP_FONT, GUIP_FONT_COLOR, GUIP_FONT_ALPHA, GUIP_FONT_SETDEFAULTTECHNIQUE,
  GUIP_FONT_SCALE, GUIP_FONT_SHIFTX, GUIP_FONT_SHIFTY, GUIP_TEXT, GUIP_ALIGNMENT, GUIP_LIMITVIEWPORT,
  GUIP_ACTIVERECT, GUIP_ON_INPUT, GUIP_BLINK_TIME, GUIP_BLINK_CHAR, GUIP_MAXCHARS, GUIP_LANGUAGE,
  GUIP_SOUND_INPUT, GUIP_TEXTURE_NORMAL, GUIP_TEXTURE_DISABLED, GUIP_TEXTURE_SELECTED, GUIP_TEXTURE_PRESSED,
  GUIP_CHILDSCOLOR_NORMAL, GUIP_CHILDSCOLOR_DISABLED, GUIP_CHILDSCOLOR_SELECTED, GUIP_CHILDSCOLOR_PRESSED,
  GUIP_ON_PRESS, GUIP_ON_HOLD, GUIP_SOUND_PRESS, GUIP_SOUND_CLICK, GUIP_SOUND_GOTFOCUS, GUIP_SOUND_LOSTFOCUS,
  GUIP_SOUND_HOTKEY, GUIP_HOLDTIME_START, GUIP_HOLDTIME_INTERVAL, GUIP_CHECKED, GUIP_RADIOBUTTON,
  GUIP_TEXTURE_CHECKED_NORMAL, GUIP_TEXTURE_CHECKED_DISABLED, GUIP_TEXTURE_CHECKED_SELECTED,
  GUIP_TEXTURE_CHECKED_PRESSED, GUIP_CHILDSCOLOR_CHECKED_NORMAL, GUIP_CHILDSCOLOR_CHECKED_DISABLED,
  GUIP_CHILDSCOLOR_CHECKED_SELECTED, GUIP_CHILDSCOLOR_CHECKED_PRESSED, GUIP_ON_CHECK, GUIP_ON_UNCHECK,
  GUIP_SOUND_CHECK, GUIP_SOUND_UNCHECK, GUIP_MINVALUE, GUIP_MAXVALUE, GUIP_CURVALUE, GUIP_PAGESIZE,
  GUIP_SCROLLSPEED, GUIP_SLIDER, GUIP_SLIDERSIZE, GUIP_ON_SCROLL, GUIP_CELLHEIGHT, GUIP_CELLSCOUNT,
  GUIP_SELECTEDCELL, GUIP_CHECKEDCELL, GUIP_SCROLLY, GUIP_ON_SELECTCELL, GUIP_ON_CHECKCELL, GUIP_ON_REDRAWCELL,
  GUIP_ON_PREPAREFRAME, GUIP_SOUND_SELECTCELL, GUIP_SOUND_CHECKCELL, GUIP_SCROLLX, GUIP_ON_UPDATE,
  GUIP_ON_REDRAW, GUIP_FACTORACTION_TIME, GUIP_FACTORACTION_LOOPED, GUIP_RANDOMACTION_MINTIME,
  GUIP_RANDOMACTION_MAXTIME, GUIP_ON_PERMANENTACTION, GUIP_ON_FACTORACTION, GUIP_ON_RANDOMACTION, GUIP_TAG,
  GUIP_ON_SCROLLSHIFT, GUIP_SCROLL_ENABLED,
};

struct GUIParamDef {
  const char* strID;
  int32_t iID;
  int32_t type;  // GUIValueType: the type XML text is read in
};

// Every element parameter in registration order.
std::span<const GUIParamDef> O2DGUI_ParamTable();
