#include <cstdio>

#include "costrak.h"
#include "costrak_log.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_MAIN;

namespace {
COstrak* g_pEngine = nullptr;
}

COstrak* O2D_GetEngine() {
  EHS_CP();
  return g_pEngine;
}

COstrak::COstrak() {
  EHS_CP();
  std::remove(O2D_GAMELOG_FILE);
  g_pEngine = this;
}

COstrak::~COstrak() {
  if (g_pEngine == this) g_pEngine = nullptr;
}
