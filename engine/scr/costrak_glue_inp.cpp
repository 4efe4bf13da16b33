// Script API, input family: keyboard, typed-text buffer and mouse.
#include "costrak_glue.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GLUE_INP;

O2D_GLUE(O2D_INP_KeyboardGetAnyPressedKey) {
  lua_pushnumber(L, O2DGlue_Engine().KeyboardGetAnyPressedKey());
  return 1;
}

O2D_GLUE(O2D_INP_KeyboardIsKeyPressed) {
  const O2DGlueArgs a(L, glueName, "n");
  lua_pushboolean(L, O2DGlue_Engine().KeyboardIsKeyPressed(a.I(1)));
  return 1;
}

O2D_GLUE(O2D_INP_KeyboardIsKeyClicked) {
  const O2DGlueArgs a(L, glueName, "n");
  lua_pushboolean(L, O2DGlue_Engine().KeyboardIsKeyClicked(a.I(1)));
  return 1;
}

O2D_GLUE(O2D_INP_KeyboardSetTextBufferStatus) {
  const O2DGlueArgs a(L, glueName, "b");
  O2DGlue_Engine().KeyboardSetTextBufferStatus(a.B(1));
  return 0;
}

O2D_GLUE(O2D_INP_KeyboardSetTextInBuffer) {
  const O2DGlueArgs a(L, glueName, "s");
  O2DGlue_Engine().KeyboardSetTextInBuffer(a.S(1));
  return 0;
}

O2D_GLUE(O2D_INP_KeyboardGetTextInBuffer) {
  const std::string& text = O2DGlue_Engine().KeyboardGetTextInBuffer();
  lua_pushlstring(L, text.data(), text.size());
  return 1;
}

O2D_GLUE(O2D_INP_KeyboardSetTextBufferSize) {
  const O2DGlueArgs a(L, glueName, "n");
  O2DGlue_Engine().KeyboardSetTextBufferSize(static_cast<uint32_t>(a.I(1)));
  return 0;
}

O2D_GLUE(O2D_INP_MouseGetAnyPressedKey) {
  lua_pushnumber(L, O2DGlue_Engine().MouseGetAnyPressedKey());
  return 1;
}

O2D_GLUE(O2D_INP_MouseIsKeyPressed) {
  const O2DGlueArgs a(L, glueName, "n");
  lua_pushboolean(L, O2DGlue_Engine().MouseIsKeyPressed(a.I(1)));
  return 1;
}

O2D_GLUE(O2D_INP_MouseIsKeyClicked) {
  const O2DGlueArgs a(L, glueName, "n");
  lua_pushboolean(L, O2DGlue_Engine().MouseIsKeyClicked(a.I(1)));
  return 1;
}

O2D_GLUE(O2D_INP_MouseGetDeltaX) {
  lua_pushnumber(L, O2DGlue_Engine().MouseGetDeltaX());
  return 1;
}

O2D_GLUE(O2D_INP_MouseGetDeltaY) {
  lua_pushnumber(L, O2DGlue_Engine().MouseGetDeltaY());
  return 1;
}

O2D_GLUE(O2D_INP_MouseGetWheelDelta) {
  lua_pushnumber(L, O2DGlue_Engine().MouseGetWheelDelta());
  return 1;
}

O2D_GLUE(O2D_INP_MouseGetCursorPos) {
  int32_t x = 0, y = 0;
  O2DGlue_Engine().MouseGetCursorPos(x, y);
  lua_pushnumber(L, x);
  lua_pushnumber(L, y);
  return 2;
}

O2D_GLUE(O2D_INP_MouseGetCursorStatus) {
  lua_pushboolean(L, O2DGlue_Engine().MouseGetCursorStatus());
  return 1;
}

static const O2DGlueEntry kInpTable[] = {
    O2D_GLUE_ENTRY(O2D_INP_KeyboardGetAnyPressedKey),
    O2D_GLUE_ENTRY(O2D_INP_KeyboardIsKeyPressed),
    O2D_GLUE_ENTRY(O2D_INP_KeyboardIsKeyClicked),
    O2D_GLUE_ENTRY(O2D_INP_KeyboardSetTextBufferStatus),
    O2D_GLUE_ENTRY(O2D_INP_KeyboardSetTextInBuffer),
    O2D_GLUE_ENTRY(O2D_INP_KeyboardGetTextInBuffer),
    O2D_GLUE_ENTRY(O2D_INP_KeyboardSetTextBufferSize),
    O2D_GLUE_ENTRY(O2D_INP_MouseGetAnyPressedKey),
    O2D_GLUE_ENTRY(O2D_INP_MouseIsKeyPressed),
    O2D_GLUE_ENTRY(O2D_INP_MouseIsKeyClicked),
    O2D_GLUE_ENTRY(O2D_INP_MouseGetDeltaX),
    O2D_GLUE_ENTRY(O2D_INP_MouseGetDeltaY),
    O2D_GLUE_ENTRY(O2D_INP_MouseGetWheelDelta),
    O2D_GLUE_ENTRY(O2D_INP_MouseGetCursorPos),
    O2D_GLUE_ENTRY(O2D_INP_MouseGetCursorStatus),
};

std::span<const O2DGlueEntry> O2DGlue_InpTable() { return kInpTable; }
