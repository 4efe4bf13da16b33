// Dynamic lighting of the current quad before it is queued.
#include "costrak.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_LIGHT;

void COstrak::LightQuad() {
  EHS_CP();
  // Mode 0 (disabled) leaves the quad as it is; techniques choose the other modes.
  if (m_uDynLightMode == 0) return;
}
