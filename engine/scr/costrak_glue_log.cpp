// Script API, log family: a bare line in the game log.
#include "costrak_glue.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GLUE_LOG;

O2D_GLUE(O2D_LOG_AddEntry) {
  const O2DGlueArgs a(L, glueName, "s");
  COstrak::LOG_AddLine(a.S(1));
  return 0;
}

static const O2DGlueEntry kLogTable[] = {
    O2D_GLUE_ENTRY(O2D_LOG_AddEntry),
};

std::span<const O2DGlueEntry> O2DGlue_LogTable() { return kLogTable; }
