// Script API, resource family: loading by ID and by tag (a script may load
// further scripts this way).
#include "costrak_glue.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GLUE_RES;

O2D_GLUE(O2D_RES_LoadResource) {
  const O2DGlueArgs a(L, glueName, "s");
  O2DGlue_Engine().LoadResource(a.S(1));
  return 0;
}

O2D_GLUE(O2D_RES_LoadResources) {
  const O2DGlueArgs a(L, glueName, "n");
  O2DGlue_Engine().LoadResources(a.I(1));
  return 0;
}

static const O2DGlueEntry kResTable[] = {
    O2D_GLUE_ENTRY(O2D_RES_LoadResource),
    O2D_GLUE_ENTRY(O2D_RES_LoadResources),
};

std::span<const O2DGlueEntry> O2DGlue_ResTable() { return kResTable; }
