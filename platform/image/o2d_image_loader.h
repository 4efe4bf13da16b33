#pragma once
// The image loader behind texture creation: decodes a PNG, JPEG or Windows bitmap
// held in memory, scales it to the requested texture size, converts it to the
// texture format and builds the mip chain with a box filter. The result is the
// packed pixels of every level, ready for the device's texture creation.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "o2d_render_device.h"

// Texture formats are the device's (D3DFMT_* of o2d_render_device.h); the
// supported ones are those O2DFormatBytesPerPixel knows.

// Width, height or level count "default": the image's own size, the full mip chain.
constexpr uint32_t O2DIMG_DEFAULT = 0xFFFFFFFFu;
// Images and textures larger than this per side, or with more pixels than the
// second limit, are refused before anything is allocated for them.
constexpr uint32_t O2DIMG_MAX_SIDE = 16384;
constexpr uint64_t O2DIMG_MAX_PIXELS = 64ull * 1024 * 1024;

// A decoded image: 8-bit R, G, B, A per pixel, rows top to bottom, no padding.
struct O2DImage {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;
};

// A texture ready for the device: `levels` mip levels one after the other, each
// tightly packed in `format` (A8R8G8B8 and X8R8G8B8 as little-endian 32-bit
// 0xAARRGGBB, i.e. bytes B, G, R, A; the 16-bit formats as little-endian 16-bit
// values, e.g. A4R4G4B4 = aaaarrrrggggbbbb). Unused X bits are written as ones.
struct O2DImageTexture {
  uint32_t width = 0;  // level 0
  uint32_t height = 0;
  uint32_t levels = 0;
  uint32_t format = 0;
  std::vector<uint8_t> pixels;

  uint32_t LevelWidth(uint32_t level) const { return O2DLevelSize(width, level); }
  uint32_t LevelHeight(uint32_t level) const { return O2DLevelSize(height, level); }
  // Byte offset of a level in `pixels`.
  size_t LevelOffset(uint32_t level) const;
};


// Decodes a PNG, JPEG or Windows bitmap; the kind is told by the content, not by a
// name. PNG: every colour type and bit depth, palettes, tRNS transparency and
// interlacing; 16-bit samples keep their high byte; gamma is not applied. JPEG:
// greyscale, colour and CMYK. Bitmap: 1, 4, 8, 16, 24 and 32 bits per pixel,
// uncompressed or with bit fields, bottom-up or top-down. Anything else, and any
// corrupt or truncated file, gives false (with the reason in `error` when given)
// and leaves `out` empty.
bool O2D_DecodeImage(const void* bytes, size_t size, O2DImage& out, std::string* error = nullptr);

// What texture creation calls. The arguments:
// - width, height: the texture size; 0 or O2DIMG_DEFAULT keeps the image's own
//   size in that dimension. Other sizes scale the image (area average when
//   shrinking, bilinear when enlarging). A size above O2DIMG_MAX_SIDE fails.
// - levels: the number of mip levels; 0 or O2DIMG_DEFAULT builds the full chain down
//   to 1x1, and a count above the full chain is cut to it. Each level halves the one
//   above (max 1) with a 2x2 box filter.
// - format: one of the O2DIMG_FMT_ formats; any other fails. Channels are rounded
//   to the precision of the format, e.g. (v * 15 + 127) / 255 for four bits.
// - maxSide: the device's largest texture side, 0 for none; a larger side of the
//   resulting texture is reduced to it.
// On failure returns false (reason in `error` when given) and leaves `out` empty.
bool O2D_LoadImageTexture(const void* bytes, size_t size, uint32_t width, uint32_t height, uint32_t levels,
                          uint32_t format, O2DImageTexture& out, uint32_t maxSide = 0, std::string* error = nullptr);

// The arguments of O2D_LoadImageTexture that say what texture to make.
struct O2DTextureRequest {
  uint32_t width = O2DIMG_DEFAULT;
  uint32_t height = O2DIMG_DEFAULT;
  uint32_t levels = O2DIMG_DEFAULT;
  uint32_t format = 0;
  uint32_t maxSide = 0;
  bool operator==(const O2DTextureRequest&) const = default;
};

// O2D_LoadImageTexture for an image decoded already, which it takes over.
bool O2D_MakeImageTexture(O2DImage&& image, const O2DTextureRequest& request, O2DImageTexture& out,
                          std::string* error = nullptr);

// The steps of O2D_LoadImageTexture, for callers that hold pixels already.
// Scales to width x height (each 1..O2DIMG_MAX_SIDE); false for a bad size or an empty source.
bool O2D_ScaleImage(const O2DImage& src, uint32_t width, uint32_t height, O2DImage& dst);
// The next mip level: max(1, w/2) x max(1, h/2), each texel the average of the
// 2x2 (or 2x1 when a side is 1) texels it covers, rounded to nearest; an odd side
// is averaged over the area each texel covers.
O2DImage O2D_HalveImage(const O2DImage& src);
// Appends the image's pixels in `format` to `dst`; false for an unsupported format.
bool O2D_ConvertImage(const O2DImage& src, uint32_t format, std::vector<uint8_t>& dst);
