#include "o2dgui_datatypes.h"

#include <array>

#include "costrak.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_DATATYPES;

static_assert(GUIP_TAG == 123 && GUIP_ON_SCROLLSHIFT == 124 && GUIP_SCROLL_ENABLED == 125,
              "parameter numbers are fixed by the data and scripts that use them");

// ---- CGUIValue -------------------------------------------------------------------

void CGUIValue::Reset(int32_t type) {
  m_fValue = 0.0f;
  m_bValue = false;
  m_strValue.clear();
  m_iType = type;
}

void CGUIValue::SetFloat(float value) {
  Reset(GUIVT_FLOAT);
  m_fValue = value;
}
void CGUIValue::SetBool(bool value) {
  Reset(GUIVT_BOOLEAN);
  m_bValue = value;
}
void CGUIValue::SetString(std::string value) {
  Reset(GUIVT_STRING);
  m_strValue = std::move(value);
}
void CGUIValue::SetFunction(O2DGUIActionFn value) {
  Reset(GUIVT_FUNCTION);
  m_pfnValue = value;
}
void CGUIValue::SetPoint(const GUIPOINT& value) {
  Reset(GUIVT_POINT);
  m_ptValue = value;
}
void CGUIValue::SetRect(const GUIRECT& value) {
  Reset(GUIVT_RECT);
  m_rcValue = value;
}
void CGUIValue::SetEnum(CGUIEnum* value) {
  Reset(GUIVT_ENUM);
  m_pEnumValue = value;
}

float CGUIValue::GetFloat() const {
  if (m_iType != GUIVT_FLOAT) EHS_RAISE(EHS_GENERAL, 0, "CGUIValue error: current type is not float!");
  return m_fValue;
}
bool CGUIValue::GetBool() const {
  if (m_iType != GUIVT_BOOLEAN) EHS_RAISE(EHS_GENERAL, 0, "CGUIValue error: current type is not boolean!");
  return m_bValue;
}
const std::string& CGUIValue::GetString() const {
  if (m_iType != GUIVT_STRING) EHS_RAISE(EHS_GENERAL, 0, "CGUIValue error: current type is not string!");
  return m_strValue;
}
O2DGUIActionFn CGUIValue::GetFunction() const {
  if (m_iType != GUIVT_FUNCTION)
    EHS_RAISE(EHS_GENERAL, 0, "CGUIValue error: current type is not function pointer!");
  return m_pfnValue;
}
const GUIPOINT& CGUIValue::GetPoint() const {
  if (m_iType != GUIVT_POINT) EHS_RAISE(EHS_GENERAL, 0, "CGUIValue error: current type is not GUIPOINT!");
  return m_ptValue;
}
const GUIRECT& CGUIValue::GetRect() const {
  if (m_iType != GUIVT_RECT) EHS_RAISE(EHS_GENERAL, 0, "CGUIValue error: current type is not GUIRECT!");
  return m_rcValue;
}
CGUIEnum* CGUIValue::GetEnum() const {
  if (m_iType != GUIVT_ENUM) EHS_RAISE(EHS_GENERAL, 0, "CGUIValue error: current type is not CGUIEnum*!");
  return m_pEnumValue;
}

// ---- CGUIAction ------------------------------------------------------------------

void CGUIAction::Set(const CGUIValue& value) {
  if (value.GetType() == GUIVT_STRING) {
    strFunction = value.GetString();
    iKind = GUIACTION_LUA;
  } else if (value.GetType() == GUIVT_FUNCTION) {
    pfnFunction = value.GetFunction();
    iKind = GUIACTION_NATIVE;
  }
}

CGUIValue CGUIAction::Get() const {
  if (iKind == GUIACTION_LUA) return CGUIValue(strFunction);
  if (iKind == GUIACTION_NATIVE) return CGUIValue(pfnFunction);
  return CGUIValue();
}

// ---- CGUIEnum --------------------------------------------------------------------

void CGUIEnum::AddEntry(std::string name, std::string value) {
  m_names.push_back(std::move(name));
  m_values.push_back(std::move(value));
}

const std::string& CGUIEnum::GetValue(int32_t index) const {
  return m_values.at(static_cast<size_t>(index < 0 ? m_values.size() : static_cast<size_t>(index)));
}

const std::string& CGUIEnum::GetName(int32_t index) const {
  return m_names.at(static_cast<size_t>(index < 0 ? m_names.size() : static_cast<size_t>(index)));
}

// ---- CGUIStyle -------------------------------------------------------------------

void CGUIStyle::Add(int32_t iID, CGUIValue value) {
  m_iIDs.push_back(iID);
  m_values.push_back(std::move(value));
}

void CGUIStyle::ApplyToElement(int32_t elementIndex) const {
  EHS_CP();
  if (m_iIDs.empty()) {
    COstrak::LOG_AddEntry("Warning: an empty GUI style!", 5);
    return;
  }
  COstrakGUI& gui = COstrakGUI::Get();
  for (size_t i = 0; i < m_iIDs.size(); ++i) gui.SetElementParam(elementIndex, m_iIDs[i], m_values[i]);
}

// ---- the parameter table ---------------------------------------------------------

namespace {
constexpr int32_t F = GUIVT_FLOAT, B = GUIVT_BOOLEAN, S = GUIVT_STRING, FN = GUIVT_FUNCTION, PT = GUIVT_POINT,
                  RC = GUIVT_RECT, EN = GUIVT_ENUM;

// Registration order: the numbers ascending, but tag (123) right after tip (8)
// and 124, 125 right after sound_checkcell (112).
constexpr std::array<GUIParamDef, 125> kParams{{
    {"zorder", 1, F},
    {"coords", 2, RC},
    {"technique", 3, S},
    {"texture", 4, S},
    {"color", 5, RC},
    {"visible", 6, B},
    {"enabled", 7, B},
    {"tip", 8, S},
    {"tag", 123, F},
    {"drawscheme", 9, F},
    {"drawparams", 10, RC},
    {"texcoords", 11, RC},
    {"tipappeartime", 12, F},
    {"on_gotfocus", 13, FN},
    {"on_lostfocus", 14, FN},
    {"on_click", 15, FN},
    {"on_hotkey", 16, FN},
    {"hotkey", 17, S},
    {"color_hidden", 18, RC},
    {"color_middle", 19, RC},
    {"color_shown", 20, RC},
    {"location_hidden", 21, PT},
    {"location_middle", 22, PT},
    {"location_shown", 23, PT},
    {"time_showhide", 24, F},
    {"on_hide", 25, FN},
    {"on_show", 26, FN},
    {"on_enable", 27, FN},
    {"on_disable", 28, FN},
    {"sound_hide", 29, S},
    {"sound_show", 30, S},
    {"color_begin", 31, RC},
    {"color_end", 32, RC},
    {"location_begin", 33, PT},
    {"location_end", 34, PT},
    {"location_center", 35, PT},
    {"scale_begin", 36, F},
    {"scale_middle", 37, F},
    {"scale_end", 38, F},
    {"angle_begin", 39, F},
    {"angle_middle", 40, F},
    {"angle_end", 41, F},
    {"enum_frames", 42, EN},
    {"time_animcycle", 43, F},
    {"looped", 44, B},
    {"noparentenabled", 45, B},
    {"font", 46, S},
    {"font_color", 47, F},
    {"font_alpha", 48, F},
    {"font_setdefaulttechnique", 49, B},
    {"font_scale", 50, F},
    {"font_shiftx", 51, F},
    {"font_shifty", 52, F},
    {"text", 53, S},
    {"alignment", 54, F},
    {"limitviewport", 55, B},
    {"activerect", 56, RC},
    {"on_input", 57, FN},
    {"blink_time", 58, F},
    {"blink_char", 59, S},
    {"maxchars", 60, F},
    {"language", 61, F},
    {"sound_input", 62, S},
    {"texture_normal", 63, S},
    {"texture_disabled", 64, S},
    {"texture_selected", 65, S},
    {"texture_pressed", 66, S},
    {"childscolor_normal", 67, RC},
    {"childscolor_disabled", 68, RC},
    {"childscolor_selected", 69, RC},
    {"childscolor_pressed", 70, RC},
    {"on_press", 71, FN},
    {"on_hold", 72, FN},
    {"sound_press", 73, S},
    {"sound_click", 74, S},
    {"sound_gotfocus", 75, S},
    {"sound_lostfocus", 76, S},
    {"sound_hotkey", 77, S},
    {"holdtime_start", 78, F},
    {"holdtime_interval", 79, F},
    {"checked", 80, B},
    {"radiobutton", 81, B},
    {"texture_checked_normal", 82, S},
    {"texture_checked_disabled", 83, S},
    {"texture_checked_selected", 84, S},
    {"texture_checked_pressed", 85, S},
    {"childscolor_checked_normal", 86, RC},
    {"childscolor_checked_disabled", 87, RC},
    {"childscolor_checked_selected", 88, RC},
    {"childscolor_checked_pressed", 89, RC},
    {"on_check", 90, FN},
    {"on_uncheck", 91, FN},
    {"sound_check", 92, S},
    {"sound_uncheck", 93, S},
    {"minvalue", 94, F},
    {"maxvalue", 95, F},
    {"curvalue", 96, F},
    {"pagesize", 97, F},
    {"scrollspeed", 98, F},
    {"slider", 99, B},
    {"slidersize", 100, F},
    {"on_scroll", 101, FN},
    {"cellheight", 102, F},
    {"cellscount", 103, F},
    {"selectedcell", 104, F},
    {"checkedcell", 105, F},
    {"scrolly", 106, F},
    {"on_selectcell", 107, FN},
    {"on_checkcell", 108, FN},
    {"on_redrawcell", 109, FN},
    {"on_prepareframe", 110, FN},
    {"sound_selectcell", 111, S},
    {"sound_checkcell", 112, S},
    {"on_scrollshift", 124, FN},
    {"scroll_enabled", 125, B},
    {"scrollx", 113, F},
    {"on_update", 114, FN},
    {"on_redraw", 115, FN},
    {"factoraction_time", 116, F},
    {"factoraction_looped", 117, B},
    {"randomaction_mintime", 118, F},
    {"randomaction_maxtime", 119, F},
    {"on_permanentaction", 120, FN},
    {"on_factoraction", 121, FN},
    {"on_randomaction", 122, FN},
}};
}  // namespace

std::span<const GUIParamDef> O2DGUI_ParamTable() { return kParams; }
