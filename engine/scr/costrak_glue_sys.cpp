// Script API, system family: the frame timer, the XML encrypt mode and one
// frame's engine work.
#include "costrak_glue.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GLUE_SYS;

O2D_GLUE(O2D_SYS_TimerGetDelta) {
  lua_pushnumber(L, O2DGlue_Engine().TimerGetDelta());
  return 1;
}

O2D_GLUE(O2D_SYS_TimerGetFPS) {
  lua_pushnumber(L, O2DGlue_Engine().TimerGetFPS());
  return 1;
}

O2D_GLUE(O2D_SYS_SetXMLEncryptMode) {
  const O2DGlueArgs a(L, glueName, "b");
  O2DGlue_Engine().ResSetXMLEncryptMode(a.B(1));
  return 0;
}

O2D_GLUE(O2D_SYS_UpdateAllSystems) {
  lua_pushnumber(L, O2DGlue_Engine().UpdateAllSystems());
  return 1;
}

static const O2DGlueEntry kSysTable[] = {
    O2D_GLUE_ENTRY(O2D_SYS_TimerGetDelta),
    O2D_GLUE_ENTRY(O2D_SYS_TimerGetFPS),
    O2D_GLUE_ENTRY(O2D_SYS_SetXMLEncryptMode),
    O2D_GLUE_ENTRY(O2D_SYS_UpdateAllSystems),
};

std::span<const O2DGlueEntry> O2DGlue_SysTable() { return kSysTable; }
