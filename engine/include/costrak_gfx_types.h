#pragma once
// Graphics records shared by the engine object and its callers: display modes,
// the video capability record filled at pre-initialisation, and the current quad.
#include <cstdint>

#include "o2d_render_device.h"

// One display mode as the capability report found it; all 0 / false until found.
struct DisplayModeInfo {
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint32_t RefreshRate = 0;
  uint32_t Format = D3DFMT_UNKNOWN;  // surface format; 0 = not found
  uint32_t TextureFormat01 = D3DFMT_UNKNOWN;
  uint32_t TextureFormat02 = D3DFMT_UNKNOWN;
  uint32_t TextureFormat03 = D3DFMT_UNKNOWN;
  uint32_t TextureFormat04 = D3DFMT_UNKNOWN;
  bool bValid = false;  // surface format and all four texture formats present
};

// What GfxGetCaps copies out.
struct VideoCaps {
  DisplayModeInfo DisplayMode1;  // requested size, 16-bit surface
  DisplayModeInfo DisplayMode2;  // requested size, 32-bit surface
  DisplayModeInfo DisplayMode3;  // the desktop mode; the only one for windowed rendering
  bool bCanRenderWindowed = false;
  uint32_t MaxTextureWidth = 0;
  uint32_t MaxTextureHeight = 0;
  uint32_t MaxTextureBlendStages = 0;
  uint32_t MaxSimultaneousTextures = 0;
  bool bVertexFog = false;
  bool bDot3BumpMapping = false;
  bool bMipMapping = false;
  bool bClampAddressing = false;
  bool bWrapAddressing = false;
  bool bFullScreenGamma = false;
  bool bGammaCalibration = false;
  int32_t iRating = 0;  // 0 = unknown, else 1..5
};

// The current quad: corners 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
struct VQuad {
  QuadVertex Vertices[4] = {};
  float Alpha[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // alpha given with each corner's last colour
  bool bFog = false;                          // set while the current technique has fog on
  float fFogValue = 1.0f;
};
