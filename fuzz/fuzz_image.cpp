// PNG, JPEG and bitmap files as texture resources bring them: decoded, then built
// into a small texture with its mip chain.
#include <cstddef>
#include <cstdint>

#include "o2d_image_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  O2DImage img;
  if (!O2D_DecodeImage(data, size, img)) return 0;
  O2DImageTexture tex;
  O2D_LoadImageTexture(data, size, 17, 9, O2DIMG_DEFAULT, D3DFMT_A4R4G4B4, tex);
  return 0;
}
