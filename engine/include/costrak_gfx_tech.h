#pragma once
// Techniques: named bundles of render and texture-stage states, applied before drawing.
#include <cstdint>

// One technique as its pack declares it. A group whose has-flag is false is not
// touched when the technique is applied; its members are then meaningless.
// Index 0 of the per-stage arrays is stage 0, index 1 stage 1.
struct O2DTECHNIQUE {
  bool bAlphaBlending = false;
  bool bAlphaBlendingEnable = false;
  uint32_t uSrcBlend = 0;   // D3DBLEND
  uint32_t uDestBlend = 0;  // D3DBLEND

  bool bFog = false;
  bool bFogEnable = false;
  float fFogStart = 0.0f;
  float fFogEnd = 0.0f;
  uint32_t uFogColor = 0;  // A8R8G8B8

  bool bTextureFactor = false;
  uint32_t uTextureFactor = 0;  // A8R8G8B8

  bool bStageStates = false;
  uint32_t uColorOp[2] = {};    // D3DTEXTUREOP
  uint32_t uColorArg1[2] = {};  // D3DTA_*
  uint32_t uColorArg2[2] = {};
  uint32_t uAlphaOp[2] = {};
  uint32_t uAlphaArg1[2] = {};
  uint32_t uAlphaArg2[2] = {};
  uint32_t uAddress[2] = {};  // D3DTEXTUREADDRESS, for U and V

  bool bFilters = false;
  uint32_t uMinFilter[2] = {};  // D3DTEXTUREFILTERTYPE
  uint32_t uMagFilter[2] = {};
  uint32_t uMipFilter[2] = {};

  bool bDynLight = false;
  uint32_t uDynLightMode = 0;          // 0 disabled, 1 vertex, 2 Dot3
  uint32_t uDynLightAmbientColor = 0;  // A8R8G8B8
};
