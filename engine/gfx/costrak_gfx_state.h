#pragma once
// Graphics: adapter and device, display mode and working size, the current quad
// and batch, what is bound, and the texture, light, technique and font managers.
// The engine object holds one; only the subsystem's own sources include this.
#include <memory>
#include <string>
#include <string_view>

#include "costrak.h"
#include "costrak_gfx_font.h"
#include "costrak_gfx_light.h"
#include "costrak_gfx_tech.h"
#include "costrak_gfx_types.h"
#include "costrak_itemsmanager.h"

// The quad batch: 500 quads of four vertices, six indices each.
inline constexpr int32_t O2D_BATCH_QUADS = 500;
static_assert(O2D_BATCH_QUADS * 4 == int32_t(O2D_VERTEX_BUFFER_VERTICES));
static_assert(O2D_BATCH_QUADS * 6 == int32_t(O2D_INDEX_BUFFER_INDICES));

// The lowest filled slot of an item manager whose string ID is strID, or -1.
// Freed slots carry an empty string ID and never match.
template <class Manager>
int32_t GfxFindItem(const Manager* manager, std::string_view strID) {
  if (!manager) return -1;
  if (!strID.empty()) return manager->FindByStrID(strID);  // indexed: filled slots only
  for (int32_t id = 0; id < manager->GetCount(); ++id)
    if (manager->GetItem(id) && manager->GetStrID(id).empty()) return id;
  return -1;
}

struct CGfxState {
  O2DRenderAdapterFactory GfxAdapterFactory;
  bool bGfxPreInitialized = false;
  bool bGfxInitialized = false;
  IO2DRenderAdapter* pAdapter = nullptr;
  IO2DRenderDevice* pDevice = nullptr;
  int32_t iDisplayMode = 0;
  bool bWindowed = false;
  // The working size; the engine's frame is 800 x 600 until graphics says otherwise.
  int32_t iScreenWidth = 800;
  int32_t iScreenHeight = 600;
  O2DPresentParams PresentParams;
  VideoCaps caps;
  O2DDisplayMode DesktopMode;
  std::string strAdapterDesc;
  VQuad quad;
  QuadVertex* pLockedVertices = nullptr;
  int32_t iQueuedQuads = 0;
  int32_t aiCurrentTexture[O2D_STAGE_COUNT] = {-1, -1, -1, -1, -1, -1, -1, -1};
  int32_t iCurrentTechnique = -1;
  int32_t iCurrentFont = -1;
  uint32_t uDynLightMode = 0;  // 0 disabled, 1 vertex, 2 Dot3
  float afAmbientColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  int32_t iDot3Light = 0;
  int32_t iScreenshotCounter = 0;
  std::unique_ptr<TItemsManagerCOM<IO2DTexture>> pTexturesManager;
  std::unique_ptr<TItemsManager<Light>> pLightsManager;
  std::unique_ptr<TItemsManager<O2DTECHNIQUE>> pTechniquesManager;
  std::unique_ptr<TItemsManager<FontDesc>> pFontsManager;
};
