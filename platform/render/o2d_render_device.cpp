#include "o2d_render_device.h"

#include <algorithm>
#include <cstring>

uint32_t O2DFormatBytesPerPixel(uint32_t format) {
  switch (format) {
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
      return 2;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 4;
    default:
      return 0;
  }
}

uint32_t O2DFullMipCount(uint32_t width, uint32_t height) {
  uint32_t side = std::max(width, height);
  uint32_t count = 1;
  while (side > 1) {
    side >>= 1;
    ++count;
  }
  return count;
}

uint32_t O2DDefaultRenderState(uint32_t state) {
  switch (state) {
    case D3DRS_FILLMODE: return 3;   // solid
    case D3DRS_SHADEMODE: return 2;  // Gouraud
    case D3DRS_ZWRITEENABLE:
    case D3DRS_LASTPIXEL:
    case D3DRS_CLIPPING:
    case D3DRS_LIGHTING:
    case D3DRS_COLORVERTEX:
      return 1;
    case D3DRS_SRCBLEND: return D3DBLEND_ONE;
    case D3DRS_DESTBLEND: return D3DBLEND_ZERO;
    case D3DRS_CULLMODE: return D3DCULL_CCW;
    case D3DRS_ZFUNC: return 4;      // less or equal
    case D3DRS_ALPHAFUNC: return 8;  // always
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
      return O2DFloatBits(1.0f);
    case D3DRS_TEXTUREFACTOR: return 0xFFFFFFFFu;
    case D3DRS_BLENDOP: return 1;  // add
    default: return 0;
  }
}

uint32_t O2DDefaultStageState(uint32_t stage, uint32_t type) {
  switch (type) {
    case D3DTSS_COLOROP: return stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    case D3DTSS_ALPHAOP: return stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    case D3DTSS_COLORARG1:
    case D3DTSS_ALPHAARG1:
      return D3DTA_TEXTURE;
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_COLORARG0:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_RESULTARG:
      return D3DTA_CURRENT;
    case D3DTSS_TEXCOORDINDEX: return stage;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
      return D3DTADDRESS_WRAP;
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
      return D3DTEXF_POINT;
    case D3DTSS_MIPFILTER: return D3DTEXF_NONE;
    case D3DTSS_MAXANISOTROPY: return 1;
    default: return 0;
  }
}

bool IO2DTexture::WriteLevel(uint32_t level, const void* pixels, uint32_t pitch) {
  O2DLockedRect rect;
  if (pixels == nullptr || !LockRect(level, rect)) return false;
  const uint32_t rowBytes = O2DLevelSize(GetWidth(), level) * O2DFormatBytesPerPixel(GetFormat());
  const uint32_t rows = O2DLevelSize(GetHeight(), level);
  if (pitch == 0) pitch = rowBytes;
  const auto* src = static_cast<const uint8_t*>(pixels);
  auto* dst = static_cast<uint8_t*>(rect.Bits);
  for (uint32_t y = 0; y < rows; ++y) std::memcpy(dst + size_t(y) * rect.Pitch, src + size_t(y) * pitch, rowBytes);
  return UnlockRect(level);
}

bool IO2DRenderDevice::UploadIndices(const uint16_t* indices, uint32_t count) {
  if (indices == nullptr || count > O2D_INDEX_BUFFER_INDICES || !CreateIndexBuffer()) return false;
  uint16_t* locked = LockIndexBuffer();
  if (!locked) return false;
  std::copy(indices, indices + count, locked);
  std::fill(locked + count, locked + O2D_INDEX_BUFFER_INDICES, uint16_t{0});
  return UnlockIndexBuffer() && SetIndices();
}
