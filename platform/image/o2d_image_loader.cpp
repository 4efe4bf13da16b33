#include "o2d_image_loader.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <new>

#include "o2d_image_decode.h"

namespace {

// Source texels and weights that make up one destination texel along one axis.
struct AxisTaps {
  std::vector<uint32_t> first;  // per destination texel: index into taps, plus one end entry
  std::vector<std::pair<uint32_t, float>> taps;
};

// Shrinking averages the source area each texel covers; enlarging interpolates
// between the two nearest texel centres.
AxisTaps BuildTaps(uint32_t src, uint32_t dst) {
  AxisTaps t;
  t.first.reserve(dst + 1);
  const double scale = static_cast<double>(src) / dst;
  for (uint32_t i = 0; i < dst; ++i) {
    t.first.push_back(static_cast<uint32_t>(t.taps.size()));
    if (dst < src) {
      const double x0 = i * scale;
      const double x1 = (i + 1) * scale;
      const uint32_t j1 = std::min<uint32_t>(src, static_cast<uint32_t>(std::ceil(x1)));
      for (uint32_t j = static_cast<uint32_t>(x0); j < j1; ++j) {
        const double w = std::min<double>(x1, j + 1) - std::max<double>(x0, j);
        if (w > 1e-9) t.taps.emplace_back(j, static_cast<float>(w / scale));
      }
    } else {
      const double x = std::max(0.0, (i + 0.5) * scale - 0.5);
      uint32_t j0 = static_cast<uint32_t>(x);
      double f = x - j0;
      if (j0 >= src - 1) j0 = src - 1, f = 0;
      t.taps.emplace_back(j0, static_cast<float>(1 - f));
      if (f > 0) t.taps.emplace_back(j0 + 1, static_cast<float>(f));
    }
  }
  t.first.push_back(static_cast<uint32_t>(t.taps.size()));
  return t;
}

uint8_t ToByte(float v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

// Rounds an 8-bit channel to `bits` bits.
uint32_t Quant(uint32_t v, uint32_t bits) {
  const uint32_t max = (1u << bits) - 1;
  return (v * max + 127) / 255;
}

// Converts `count` RGBA8 pixels at `s` into `format` at `d`, which may be `s`
// itself: no format takes more than the four bytes it reads, and each block is
// read whole before its result is written. Each format has its own loop, free
// of the format test, over blocks the compiler can vectorise.
template <class Texel, class Pixel>
void ConvertPixels(const uint8_t* s, uint8_t* d, size_t count, Pixel pixel) {
  static_assert(std::endian::native == std::endian::little, "texels are stored little-endian");
  constexpr size_t kBlock = 256;
  uint32_t in[kBlock];
  Texel out[kBlock];
  for (size_t done = 0; done < count; done += kBlock) {
    const size_t n = std::min(kBlock, count - done);
    std::memcpy(in, s + done * 4, n * 4);
    for (size_t i = 0; i < n; ++i) {
      const uint32_t v = in[i];  // bytes R, G, B, A
      out[i] = static_cast<Texel>(pixel(v & 0xFF, v >> 8 & 0xFF, v >> 16 & 0xFF, v >> 24));
    }
    std::memcpy(d + done * sizeof(Texel), out, n * sizeof(Texel));
  }
}

void ConvertPixels(uint32_t format, const uint8_t* s, uint8_t* d, size_t count) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return ConvertPixels<uint32_t>(s, d, count, [](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
        return a << 24 | r << 16 | g << 8 | b;
      });
    case D3DFMT_X8R8G8B8:
      return ConvertPixels<uint32_t>(s, d, count, [](uint32_t r, uint32_t g, uint32_t b, uint32_t) {
        return 0xFF000000u | r << 16 | g << 8 | b;
      });
    case D3DFMT_R5G6B5:
      return ConvertPixels<uint16_t>(s, d, count, [](uint32_t r, uint32_t g, uint32_t b, uint32_t) {
        return Quant(r, 5) << 11 | Quant(g, 6) << 5 | Quant(b, 5);
      });
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
      const bool x = format == D3DFMT_X1R5G5B5;
      return ConvertPixels<uint16_t>(s, d, count, [x](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
        return (x ? 1 : Quant(a, 1)) << 15 | Quant(r, 5) << 10 | Quant(g, 5) << 5 | Quant(b, 5);
      });
    }
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4: {
      const bool x = format == D3DFMT_X4R4G4B4;
      return ConvertPixels<uint16_t>(s, d, count, [x](uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
        return (x ? 0xF : Quant(a, 4)) << 12 | Quant(r, 4) << 8 | Quant(g, 4) << 4 | Quant(b, 4);
      });
    }
  }
}

bool Refuse(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

// Levels down to 1x1.
uint32_t FullChain(uint32_t w, uint32_t h) { return static_cast<uint32_t>(std::bit_width(std::max(w, h))); }

bool IsDefault(uint32_t v) { return v == 0 || v == O2DIMG_DEFAULT; }

bool RequestAllowed(uint32_t width, uint32_t height, uint32_t format, std::string* error) {
  if (!O2DFormatBytesPerPixel(format)) return Refuse(error, "unsupported texture format " + std::to_string(format));
  if ((!IsDefault(width) && width > O2DIMG_MAX_SIDE) || (!IsDefault(height) && height > O2DIMG_MAX_SIDE))
    return Refuse(error, "texture size " + std::to_string(width) + "x" + std::to_string(height) + " is not allowed");
  return true;
}

}  // namespace

bool O2D_ImageSizeAllowed(uint64_t width, uint64_t height, std::string& error) {
  if (width == 0 || height == 0 || width > O2DIMG_MAX_SIDE || height > O2DIMG_MAX_SIDE ||
      width * height > O2DIMG_MAX_PIXELS) {
    error = "image size " + std::to_string(width) + "x" + std::to_string(height) + " is not allowed";
    return false;
  }
  return true;
}

size_t O2DImageTexture::LevelOffset(uint32_t level) const {
  size_t offset = 0;
  for (uint32_t i = 0; i < level; ++i)
    offset += static_cast<size_t>(LevelWidth(i)) * LevelHeight(i) * O2DFormatBytesPerPixel(format);
  return offset;
}

bool O2D_DecodeImage(const void* bytes, size_t size, O2DImage& out, std::string* error) {
  out = O2DImage();
  std::string why;
  const auto* p = static_cast<const uint8_t*>(bytes);
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  bool ok = false;
  try {
    if (!p || size == 0)
      why = "no image data";
    else if (size >= 8 && std::memcmp(p, kPng, 8) == 0)
      ok = O2D_DecodePng(p, size, out, why);
    else if (size >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF)
      ok = O2D_DecodeJpeg(p, size, out, why);
    else if (size >= 2 && p[0] == 'B' && p[1] == 'M')
      ok = O2D_DecodeBmp(p, size, out, why);
    else
      why = "unknown image format";
  } catch (const std::bad_alloc&) {
    why = "out of memory";
    ok = false;
  }
  if (!ok) {
    out = O2DImage();
    return Refuse(error, why);
  }
  return true;
}

bool O2D_ScaleImage(const O2DImage& src, uint32_t width, uint32_t height, O2DImage& dst) {
  if (src.width == 0 || src.height == 0 || src.rgba.size() != static_cast<size_t>(src.width) * src.height * 4)
    return false;
  std::string why;
  if (!O2D_ImageSizeAllowed(width, height, why)) return false;
  if (width == src.width && height == src.height) {
    dst = src;
    return true;
  }
  const AxisTaps tx = BuildTaps(src.width, width);
  const AxisTaps ty = BuildTaps(src.height, height);

  // One output row at a time: blend the source rows it covers into one row, then
  // filter that row across. Only one row of floats is held beside the result.
  O2DImage result;
  result.width = width;
  result.height = height;
  result.rgba.resize(static_cast<size_t>(width) * height * 4);
  std::vector<float> column(static_cast<size_t>(src.width) * 4);
  for (uint32_t y = 0; y < height; ++y) {
    std::fill(column.begin(), column.end(), 0.0f);
    for (uint32_t k = ty.first[y]; k < ty.first[y + 1]; ++k) {
      const uint8_t* s = src.rgba.data() + static_cast<size_t>(ty.taps[k].first) * src.width * 4;
      const float w = ty.taps[k].second;
      for (size_t i = 0; i < column.size(); ++i) column[i] += s[i] * w;
    }
    uint8_t* out = result.rgba.data() + static_cast<size_t>(y) * width * 4;
    for (uint32_t x = 0; x < width; ++x, out += 4) {
      float acc[4] = {0, 0, 0, 0};
      for (uint32_t k = tx.first[x]; k < tx.first[x + 1]; ++k) {
        const float* s = column.data() + static_cast<size_t>(tx.taps[k].first) * 4;
        for (int c = 0; c < 4; ++c) acc[c] += s[c] * tx.taps[k].second;
      }
      for (int c = 0; c < 4; ++c) out[c] = ToByte(acc[c]);
    }
  }
  dst = std::move(result);
  return true;
}

O2DImage O2D_HalveImage(const O2DImage& src) {
  const uint32_t w = std::max<uint32_t>(1, src.width / 2);
  const uint32_t h = std::max<uint32_t>(1, src.height / 2);
  O2DImage dst;
  if (src.rgba.size() != static_cast<size_t>(src.width) * src.height * 4 || src.rgba.empty()) return dst;
  if ((src.width % 2 && src.width != 1) || (src.height % 2 && src.height != 1)) {
    O2D_ScaleImage(src, w, h, dst);
    return dst;
  }
  // A side of 1 reads its texel twice, which keeps one rounding rule for every case.
  const uint32_t sx = src.width > 1 ? 2 : 1;
  const uint32_t sy = src.height > 1 ? 2 : 1;
  dst.width = w;
  dst.height = h;
  dst.rgba.resize(static_cast<size_t>(w) * h * 4);
  const size_t srcStride = static_cast<size_t>(src.width) * 4;
  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* r0 = src.rgba.data() + static_cast<size_t>(y) * sy * srcStride;
    const uint8_t* r1 = r0 + (sy - 1) * srcStride;
    uint8_t* out = dst.rgba.data() + static_cast<size_t>(y) * w * 4;
    for (uint32_t x = 0; x < w; ++x) {
      const size_t a = static_cast<size_t>(x) * sx * 4;
      const size_t b = a + (sx - 1) * 4;
      for (int c = 0; c < 4; ++c) {
        const uint32_t sum = r0[a + c] + r0[b + c] + r1[a + c] + r1[b + c];
        *out++ = static_cast<uint8_t>((sum + 2) / 4);
      }
    }
  }
  return dst;
}

bool O2D_ConvertImage(const O2DImage& src, uint32_t format, std::vector<uint8_t>& dst) {
  const uint32_t bpp = O2DFormatBytesPerPixel(format);
  if (!bpp) return false;
  const size_t count = static_cast<size_t>(src.width) * src.height;
  if (src.rgba.size() < count * 4) return false;
  const size_t pos = dst.size();
  dst.resize(pos + count * bpp);
  ConvertPixels(format, src.rgba.data(), dst.data() + pos, count);
  return true;
}

bool O2D_LoadImageTexture(const void* bytes, size_t size, uint32_t width, uint32_t height, uint32_t levels,
                          uint32_t format, O2DImageTexture& out, uint32_t maxSide, std::string* error) {
  out = O2DImageTexture();
  // A request that cannot be met is refused before anything is decoded.
  if (!RequestAllowed(width, height, format, error)) return false;
  O2DImage img;
  if (!O2D_DecodeImage(bytes, size, img, error)) return false;
  return O2D_MakeImageTexture(std::move(img), {width, height, levels, format, maxSide}, out, error);
}

bool O2D_MakeImageTexture(O2DImage&& image, const O2DTextureRequest& request, O2DImageTexture& out,
                          std::string* error) {
  out = O2DImageTexture();
  O2DImage img = std::move(image);
  const auto [width, height, levels, format, maxSide] = request;
  if (!RequestAllowed(width, height, format, error)) return false;
  try {
    uint32_t w = IsDefault(width) ? img.width : width;
    uint32_t h = IsDefault(height) ? img.height : height;
    if (maxSide) w = std::min(w, maxSide), h = std::min(h, maxSide);
    std::string why;
    if (!O2D_ImageSizeAllowed(w, h, why)) return Refuse(error, "texture " + why);
    if (!O2D_ScaleImage(img, w, h, img)) return Refuse(error, "cannot scale the image");

    const uint32_t full = FullChain(w, h);
    const uint32_t count = IsDefault(levels) ? full : std::min(levels, full);
    O2DImageTexture tex;
    tex.width = w;
    tex.height = h;
    tex.levels = count;
    tex.format = format;
    // Each level is converted where it was decoded or halved; level 0 becomes the
    // texture's buffer, so a single level is never copied.
    const size_t bpp = O2DFormatBytesPerPixel(format);
    for (uint32_t level = 0; level < count; ++level) {
      O2DImage next = level + 1 < count ? O2D_HalveImage(img) : O2DImage();
      const size_t texels = static_cast<size_t>(img.width) * img.height;
      ConvertPixels(format, img.rgba.data(), img.rgba.data(), texels);
      img.rgba.resize(texels * bpp);
      if (level == 0) {
        tex.pixels = std::move(img.rgba);
        if (count > 1) tex.pixels.reserve(tex.LevelOffset(count));
      } else {
        tex.pixels.insert(tex.pixels.end(), img.rgba.begin(), img.rgba.end());
      }
      img = std::move(next);
    }
    out = std::move(tex);
    return true;
  } catch (const std::bad_alloc&) {
    out = O2DImageTexture();
    return Refuse(error, "out of memory");
  }
}
