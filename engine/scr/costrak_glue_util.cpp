// Script API, demand family: the item's integer ID, loading it on first use.
#include "costrak_glue.h"
#include "costrak_utils_demand.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GLUE_UTIL;

O2D_GLUE(O2DUTIL_DemandTexture) {
  const O2DGlueArgs a(L, glueName, "s");
  lua_pushnumber(L, O2DUTIL_DemandTexture(a.S(1)));
  return 1;
}

O2D_GLUE(O2DUTIL_DemandTechnique) {
  const O2DGlueArgs a(L, glueName, "ss");
  lua_pushnumber(L, O2DUTIL_DemandTechnique(a.S(1), a.S(2)));
  return 1;
}

O2D_GLUE(O2DUTIL_DemandFont) {
  const O2DGlueArgs a(L, glueName, "s");
  lua_pushnumber(L, O2DUTIL_DemandFont(a.S(1)));
  return 1;
}

O2D_GLUE(O2DUTIL_DemandSound) {
  const O2DGlueArgs a(L, glueName, "s");
  lua_pushnumber(L, O2DUTIL_DemandSound(a.S(1)));
  return 1;
}

O2D_GLUE(O2DUTIL_DemandMusic) {
  const O2DGlueArgs a(L, glueName, "s");
  lua_pushnumber(L, O2DUTIL_DemandMusic(a.S(1)));
  return 1;
}

O2D_GLUE(O2DUTIL_DemandPlaylist) {
  const O2DGlueArgs a(L, glueName, "s");
  lua_pushnumber(L, O2DUTIL_DemandPlaylist(a.S(1)));
  return 1;
}

static const O2DGlueEntry kUtilTable[] = {
    O2D_GLUE_ENTRY(O2DUTIL_DemandTexture),
    O2D_GLUE_ENTRY(O2DUTIL_DemandTechnique),
    O2D_GLUE_ENTRY(O2DUTIL_DemandFont),
    O2D_GLUE_ENTRY(O2DUTIL_DemandSound),
    O2D_GLUE_ENTRY(O2DUTIL_DemandMusic),
    O2D_GLUE_ENTRY(O2DUTIL_DemandPlaylist),
};

std::span<const O2DGlueEntry> O2DGlue_UtilTable() { return kUtilTable; }
