// The GUI's script functions: add elements, find them, set and read their
// parameters, send commands and set the tip. Elements are given by ID (string)
// or index (number), parameters by name (string) or number.
#include <string>

#include "costrak_glue.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_GLUE_MAIN;

namespace {

bool IsItem(lua_State* L, int pos) {
  const int type = lua_type(L, pos);
  return type == LUA_TNUMBER || type == LUA_TSTRING;
}

[[noreturn]] void InvalidSetCombination() {
  EHS_RAISE(EHS_GAME, 0, "Error in glue function glue_O2DGUI_SetElementParam: invalid combination of arguments!");
}
[[noreturn]] void InvalidGetCombination() {
  EHS_RAISE(EHS_GAME, 0, "Error in glue function glue_O2DGUI_GetElementParam: invalid combination of arguments!");
}

// Element by ID or index, parameter by name or number: the four manager forms.
template <typename Op>
void WithElementAndParam(const O2DGlueArgs& a, Op&& op) {
  const bool byID = a.IsString(1), byName = a.IsString(2);
  if (byID && byName) op(std::string(a.S(1)), std::string(a.S(2)));
  else if (byID) op(std::string(a.S(1)), a.I(2));
  else if (byName) op(a.I(1), std::string(a.S(2)));
  else op(a.I(1), a.I(2));
}

}  // namespace

O2D_GLUE(O2DGUI_AddNewElement) {
  const O2DGlueArgs a(L, glueName, "ssi");
  const int32_t index = a.IsString(3) ? COstrakGUI::Get().AddElement(a.S(1), a.S(2), std::string(a.S(3)))
                                      : COstrakGUI::Get().AddElement(a.S(1), a.S(2), a.I(3));
  lua_pushnumber(L, index);
  return 1;
}

O2D_GLUE(O2DGUI_GetElementID) {
  const O2DGlueArgs a(L, glueName, "s");
  lua_pushnumber(L, COstrakGUI::Get().GetElementIndex(a.S(1)));
  return 1;
}

// The value's form follows the argument count and the third argument's type:
// a boolean, a number or a string alone; two numbers a point; four a rect.
O2D_GLUE(O2DGUI_SetElementParam) {
  const int count = lua_gettop(L);
  if (count < 3 || !IsItem(L, 1) || !IsItem(L, 2)) InvalidSetCombination();
  auto numbers = [L](int from, int to) {
    for (int pos = from; pos <= to; ++pos)
      if (lua_type(L, pos) != LUA_TNUMBER) return false;
    return true;
  };
  CGUIValue value;
  const O2DGlueArgs a(L, glueName, "");
  if (count == 3 && lua_type(L, 3) == LUA_TBOOLEAN) value.SetBool(a.B(3));
  else if (count == 3 && lua_type(L, 3) == LUA_TNUMBER) value.SetFloat(a.F(3));
  else if (count == 3 && lua_type(L, 3) == LUA_TSTRING) value.SetString(a.S(3));
  else if (count == 4 && numbers(3, 4)) value.SetPoint({a.F(3), a.F(4)});
  else if (count == 6 && numbers(3, 6)) value.SetRect({a.F(3), a.F(4), a.F(5), a.F(6)});
  else InvalidSetCombination();
  WithElementAndParam(a, [&](const auto& element, const auto& param) { COstrakGUI::Get().SetElementParam(element, param, value); });
  return 0;
}

O2D_GLUE(O2DGUI_GetElementParam) {
  if (!IsItem(L, 1) || !IsItem(L, 2)) InvalidGetCombination();
  const O2DGlueArgs a(L, glueName, "");
  CGUIValue value;
  WithElementAndParam(a, [&](const auto& element, const auto& param) { COstrakGUI::Get().GetElementParam(element, param, value); });
  switch (value.GetType()) {
    case GUIVT_FLOAT: lua_pushnumber(L, value.GetFloat()); return 1;
    case GUIVT_BOOLEAN: lua_pushboolean(L, value.GetBool()); return 1;
    case GUIVT_STRING: lua_pushlstring(L, value.GetString().data(), value.GetString().size()); return 1;
    case GUIVT_POINT:
      lua_pushnumber(L, value.GetPoint().x);
      lua_pushnumber(L, value.GetPoint().y);
      return 2;
    case GUIVT_RECT: {
      const GUIRECT& r = value.GetRect();
      for (float f : {r.x, r.y, r.width, r.height}) lua_pushnumber(L, f);
      return 4;
    }
    default:
      EHS_RAISE(EHS_GAME, 0, "Error in glue function glue_O2DGUI_GetElementParam: invalid value type!");
  }
}

O2D_GLUE(O2DGUI_ExecuteElementCommand) {
  const O2DGlueArgs a(L, glueName, "in", "n");
  const float delay = a.OptF(3, 0.0f);
  if (a.IsString(1)) COstrakGUI::Get().ExecuteElementCommand(std::string(a.S(1)), a.I(2), delay);
  else COstrakGUI::Get().ExecuteElementCommand(a.I(1), a.I(2), delay);
  return 0;
}

O2D_GLUE(O2DGUI_SetCurTip) {
  const O2DGlueArgs a(L, glueName, "i");
  if (a.IsString(1)) COstrakGUI::Get().SetCurTip(std::string(a.S(1)));
  else COstrakGUI::Get().SetCurTip(a.I(1));
  return 0;
}

static const O2DGlueEntry kGUITable[] = {
    O2D_GLUE_ENTRY(O2DGUI_AddNewElement),
    O2D_GLUE_ENTRY(O2DGUI_GetElementID),
    O2D_GLUE_ENTRY(O2DGUI_SetElementParam),
    O2D_GLUE_ENTRY(O2DGUI_GetElementParam),
    O2D_GLUE_ENTRY(O2DGUI_ExecuteElementCommand),
    O2D_GLUE_ENTRY(O2DGUI_SetCurTip),
};

void O2DGUI_RegisterScriptFunctions() {
  EHS_CP();
  COstrak* engine = O2D_GetEngine();
  EHS_ASSERT(engine);
  engine->ScrRegisterFunctions(kGUITable, std::size(kGUITable));
}
