// Windows bitmap reader: core (12-byte) and info (40 to 124-byte) headers; 1, 4 and
// 8 bits with a palette, 16 and 32 bits plain or with bit fields, 24 bits; rows
// bottom-up or top-down. Every read is checked against the file's size.
#include <algorithm>
#include <bit>
#include <vector>

#include "o2d_image_decode.h"

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_BITFIELDS = 3;
constexpr uint32_t BI_ALPHABITFIELDS = 6;

uint32_t U16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// One channel given by a bit mask, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    max = m >> shift;
  }
  uint8_t Get(uint32_t px, uint8_t absent) const {
    if (!mask) return absent;
    const uint64_t v = (px & mask) >> shift;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

bool Fail(std::string& error, const char* text) {
  error = std::string("BMP: ") + text;
  return false;
}

}  // namespace

bool O2D_DecodeBmp(const uint8_t* bytes, size_t size, O2DImage& out, std::string& error) {
  if (size < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M') return Fail(error, "not a bitmap");
  const uint64_t dataOffset = U32(bytes + 10);
  const uint32_t headerSize = U32(bytes + 14);
  const uint8_t* h = bytes + 14;
  if (headerSize != 12 && (headerSize < 40 || headerSize > 124)) return Fail(error, "unknown header");
  if (14 + static_cast<uint64_t>(headerSize) > size) return Fail(error, "file ends in the header");

  int64_t width = 0;
  int64_t height = 0;
  uint32_t bpp = 0;
  uint32_t compression = BI_RGB;
  uint32_t colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  uint64_t paletteOffset = 14 + static_cast<uint64_t>(headerSize);
  uint32_t paletteEntry = 4;
  if (headerSize == 12) {
    width = U16(h + 4);
    height = static_cast<int16_t>(U16(h + 6));
    bpp = U16(h + 10);
    paletteEntry = 3;
  } else {
    width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    bpp = U16(h + 14);
    compression = U32(h + 16);
    colorsUsed = U32(h + 32);
    if (compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) {
      const uint32_t count = compression == BI_ALPHABITFIELDS ? 4 : 3;
      // A plain info header is followed by the masks; larger headers hold them.
      const uint8_t* m = h + 40;
      if (headerSize < 40 + 4 * count) {
        if (paletteOffset + 4 * count > size) return Fail(error, "file ends in the bit fields");
        m = bytes + paletteOffset;
        paletteOffset += 4 * count;
      }
      for (uint32_t i = 0; i < count; ++i) masks[i] = U32(m + 4 * i);
      if (headerSize >= 56) masks[3] = U32(h + 52);
    }
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height == 0) return Fail(error, "empty image");
  if (!O2D_ImageSizeAllowed(width, height, error)) return false;

  const bool bitFields = compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS;
  if (compression != BI_RGB && !(bitFields && (bpp == 16 || bpp == 32)))
    return Fail(error, "unsupported compression");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail(error, "unsupported bit count");

  // Palette: entries beyond the file or the count read as opaque black.
  std::vector<uint8_t> palette;  // RGBA
  if (bpp <= 8) {
    uint64_t count = colorsUsed ? colorsUsed : (1u << bpp);
    if (count > (1u << bpp)) count = 1u << bpp;
    if (paletteOffset < size) count = std::min<uint64_t>(count, (size - paletteOffset) / paletteEntry);
    else count = 0;
    palette.assign(size_t{1} << bpp << 2, 0);
    for (uint64_t i = 0; i < count; ++i) {
      const uint8_t* e = bytes + paletteOffset + i * paletteEntry;
      palette[i * 4 + 0] = e[2];
      palette[i * 4 + 1] = e[1];
      palette[i * 4 + 2] = e[0];
    }
    for (size_t i = 3; i < palette.size(); i += 4) palette[i] = 255;
  }

  const uint64_t stride = (static_cast<uint64_t>(width) * bpp + 31) / 32 * 4;
  const uint64_t lastRowBytes = (static_cast<uint64_t>(width) * bpp + 7) / 8;
  if (dataOffset > size || stride * (height - 1) + lastRowBytes > size - dataOffset)
    return Fail(error, "file ends in the pixels");

  if (!bitFields) {
    if (bpp == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bpp == 32) {
      masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF;
      // Plain 32-bit rows leave the fourth byte unused, yet many writers keep alpha
      // there: use it unless it is zero everywhere.
      for (int64_t y = 0; y < height && !masks[3]; ++y) {
        const uint8_t* row = bytes + dataOffset + y * stride;
        for (int64_t x = 0; x < width; ++x)
          if (row[x * 4 + 3]) {
            masks[3] = 0xFF000000u;
            break;
          }
      }
    }
  }
  const Channel r(masks[0]), g(masks[1]), b(masks[2]), a(masks[3]);

  O2DImage img;
  img.width = static_cast<uint32_t>(width);
  img.height = static_cast<uint32_t>(height);
  img.rgba.resize(static_cast<size_t>(width) * height * 4);
  for (int64_t y = 0; y < height; ++y) {
    const uint8_t* row = bytes + dataOffset + y * stride;
    uint8_t* dst = img.rgba.data() + (topDown ? y : height - 1 - y) * width * 4;
    for (int64_t x = 0; x < width; ++x, dst += 4) {
      if (bpp <= 8) {
        const uint32_t perByte = 8 / bpp;
        const uint32_t byte = row[x / perByte];
        const uint32_t shift = 8 - bpp * (1 + x % perByte);
        const uint32_t index = (byte >> shift) & ((1u << bpp) - 1);
        std::copy_n(&palette[index * 4], 4, dst);
      } else if (bpp == 24) {
        const uint8_t* p = row + x * 3;
        dst[0] = p[2], dst[1] = p[1], dst[2] = p[0], dst[3] = 255;
      } else {
        const uint32_t px = bpp == 16 ? U16(row + x * 2) : U32(row + x * 4);
        dst[0] = r.Get(px, 0), dst[1] = g.Get(px, 0), dst[2] = b.Get(px, 0), dst[3] = a.Get(px, 255);
      }
    }
  }
  out = std::move(img);
  return true;
}
