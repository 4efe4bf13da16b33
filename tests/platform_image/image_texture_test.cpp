// Texture building: format conversion precision, mip chains, scaling and the
// meaning of each texture-creation argument.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "image_test_util.h"
#include "o2d_image_loader.h"

namespace {

O2DImage MakeImage(uint32_t w, uint32_t h, std::vector<uint8_t> rgba) {
  O2DImage img;
  img.width = w;
  img.height = h;
  img.rgba = std::move(rgba);
  return img;
}

std::vector<uint16_t> Convert16(const std::vector<uint8_t>& rgba, uint32_t format) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(O2D_ConvertImage(MakeImage(static_cast<uint32_t>(rgba.size() / 4), 1, rgba), format, out));
  std::vector<uint16_t> v;
  for (size_t i = 0; i + 1 < out.size(); i += 2) v.push_back(static_cast<uint16_t>(out[i] | out[i + 1] << 8));
  return v;
}

// A w x h image whose texel (x, y) has red = x * 16 + y, green = 255 - that, blue = 7, alpha = 255.
std::vector<uint8_t> Ramp(uint32_t w, uint32_t h) {
  std::vector<uint8_t> p;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      const uint8_t v = static_cast<uint8_t>(x * 16 + y);
      p.insert(p.end(), {v, static_cast<uint8_t>(255 - v), 7, 255});
    }
  return p;
}

}  // namespace

TEST(ImageConvert, PackingsRoundToTheirLevelsAndUnsupportedFormatsAreRefused) {
  std::vector<uint8_t> gradient;
  for (int v = 0; v < 256; ++v) gradient.insert(gradient.end(), {uint8_t(v), uint8_t(v), uint8_t(v), uint8_t(v)});
  const auto texels = Convert16(gradient, D3DFMT_A4R4G4B4);
  for (int v = 0; v < 256; ++v) {
    const uint16_t q = static_cast<uint16_t>((v * 15 + 127) / 255);
    EXPECT_EQ(texels[v], q << 12 | q << 8 | q << 4 | q) << v;
  }
  EXPECT_EQ(Convert16({0, 0, 0, 0}, D3DFMT_X4R4G4B4)[0], 0xF000);  // the unused nibble as ones
  EXPECT_EQ(Convert16({0, 255, 0, 0, 0, 0, 255, 0}, D3DFMT_X1R5G5B5), (std::vector<uint16_t>{0x83E0, 0x801F}));
  // One alpha bit: half and above is opaque; six bits of green round to their own levels.
  EXPECT_EQ(Convert16({255, 0, 0, 127, 255, 0, 0, 128}, D3DFMT_A1R5G5B5), (std::vector<uint16_t>{0x7C00, 0xFC00}));
  EXPECT_EQ(Convert16({0, 130, 0, 255}, D3DFMT_R5G6B5)[0], 32 << 5);

  // 32 bits in B, G, R, A byte order; formats without a conversion are refused.
  const O2DImage px = MakeImage(1, 1, {0x11, 0x22, 0x33, 0x44});
  std::vector<uint8_t> argb, xrgb, out;
  ASSERT_TRUE(O2D_ConvertImage(px, D3DFMT_A8R8G8B8, argb) && O2D_ConvertImage(px, D3DFMT_X8R8G8B8, xrgb));
  EXPECT_EQ(argb, (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x44}));
  EXPECT_EQ(xrgb, (std::vector<uint8_t>{0x33, 0x22, 0x11, 0xFF}));
  for (uint32_t format : {0u, 20u, 29u, 50u}) {
    EXPECT_EQ(O2DFormatBytesPerPixel(format), 0u);
    EXPECT_FALSE(O2D_ConvertImage(px, format, out));
  }
}

TEST(ImageMips, BoxFilterAveragesTwoByTwoAndOddSidesByArea) {
  const O2DImage two = MakeImage(2, 2, {0, 10, 255, 255, 255, 20, 0, 0, 100, 30, 1, 255, 1, 41, 2, 0});
  const O2DImage one = O2D_HalveImage(two);
  ASSERT_EQ(std::pair(one.width, one.height), std::pair(1u, 1u));
  // (0+255+100+1)/4 = 89; (10+20+30+41)/4 = 25.25; (255+0+1+2)/4 = 64.5 rounds up; alpha 127.5 -> 128.
  EXPECT_EQ(one.rgba, (std::vector<uint8_t>{89, 25, 65, 128}));
  std::vector<uint8_t> nine;
  for (int i = 0; i < 9; ++i) nine.insert(nine.end(), {uint8_t(i * 10), 0, 0, 255});
  const O2DImage odd = O2D_HalveImage(MakeImage(3, 3, nine));
  ASSERT_EQ(odd.width, 1u);
  EXPECT_EQ(odd.rgba[0], 40);
}

TEST(ImageScale, ShrinkAveragesAndEnlargeInterpolates) {
  const O2DImage four = MakeImage(4, 4, Ramp(4, 4));
  O2DImage shrunk, wide, any;
  ASSERT_TRUE(O2D_ScaleImage(four, 2, 2, shrunk));
  EXPECT_EQ(shrunk.rgba, O2D_HalveImage(four).rgba);
  // Texel centres at -0.25 (clamped), 0.25, 0.75 and 1.25 (clamped) of the source.
  ASSERT_TRUE(O2D_ScaleImage(MakeImage(2, 1, {0, 0, 0, 255, 255, 255, 255, 255}), 4, 1, wide));
  EXPECT_EQ(std::vector<uint8_t>({wide.rgba[0], wide.rgba[4], wide.rgba[8], wide.rgba[12]}),
            (std::vector<uint8_t>{0, 64, 191, 255}));
  // A uniform image stays uniform at any size.
  const O2DImage grey = MakeImage(3, 5, std::vector<uint8_t>(60, 77));
  ASSERT_TRUE(O2D_ScaleImage(grey, 7, 2, any));
  EXPECT_EQ(any.rgba, std::vector<uint8_t>(56, 77));

  EXPECT_FALSE(O2D_ScaleImage(grey, 0, 4, any));
  EXPECT_FALSE(O2D_ScaleImage(grey, O2DIMG_MAX_SIDE + 1, 4, any));
  EXPECT_FALSE(O2D_ScaleImage(O2DImage(), 4, 4, any));
}

TEST(ImageTexture, SizeLevelsAndFormatArguments) {
  const std::string bmp = BmpFromRgba(4, 4, Ramp(4, 4));
  O2DImageTexture tex;
  auto load = [&](uint32_t w, uint32_t h, uint32_t levels, uint32_t format, uint32_t maxSide = 0) {
    std::string error;
    EXPECT_TRUE(O2D_LoadImageTexture(bmp.data(), bmp.size(), w, h, levels, format, tex, maxSide, &error)) << error;
  };
  // 0 and "default" keep the image size and build the full chain 4, 2, 1.
  load(0, O2DIMG_DEFAULT, O2DIMG_DEFAULT, D3DFMT_A8R8G8B8);
  EXPECT_EQ(std::tuple(tex.width, tex.height, tex.levels, tex.format), std::tuple(4u, 4u, 3u, D3DFMT_A8R8G8B8));
  EXPECT_EQ(std::pair(tex.LevelOffset(1), tex.LevelOffset(2)), std::pair(size_t{64}, size_t{80}));
  // Level 1 of the texture is the box-filtered image (B, G, R, A bytes).
  const O2DImage half = O2D_HalveImage(MakeImage(4, 4, Ramp(4, 4)));
  EXPECT_EQ(std::pair(tex.pixels[64 + 2], tex.pixels[64 + 1]), std::pair(half.rgba[0], half.rgba[1]));

  // A count above the chain is cut to it.
  load(0, 0, 9, D3DFMT_R5G6B5);
  EXPECT_EQ(std::pair(tex.levels, tex.pixels.size()), std::pair(3u, size_t(21 * 2)));

  // A requested size scales; a non-square chain ends at 1x1 after the longer side.
  load(16, 2, 0, D3DFMT_X8R8G8B8);
  EXPECT_EQ(tex.levels, 5u);
  EXPECT_EQ(std::pair(tex.LevelWidth(4), tex.LevelHeight(2)), std::pair(1u, 1u));
  EXPECT_EQ(tex.pixels.size(), (32u + 8u + 4u + 2u + 1u) * 4u);
  EXPECT_EQ(tex.LevelOffset(5), tex.pixels.size());

  // The device's largest side caps the image's own size too (a requested one: the
  // textures test).
  load(0, 0, 1, D3DFMT_A8R8G8B8, 2);
  EXPECT_EQ(tex.width, 2u);
  EXPECT_EQ(tex.pixels[2], half.rgba[0]);
}

TEST(ImageTexture, RefusalsLeaveNoTexture) {
  const std::string bmp = BmpFromRgba(4, 4, Ramp(4, 4));
  O2DImageTexture tex;
  std::string error;
  EXPECT_FALSE(O2D_LoadImageTexture(bmp.data(), bmp.size(), 0, 0, 1, 29, tex, 0, &error));  // A8R3G3B2
  EXPECT_NE(error.find("format"), std::string::npos);
  // A negative texture size seen as unsigned is not a size.
  EXPECT_FALSE(O2D_LoadImageTexture(bmp.data(), bmp.size(), 0xFFFFFFFEu, 0xFFFFFFFEu, 1, D3DFMT_A8R8G8B8, tex));
  EXPECT_FALSE(O2D_LoadImageTexture(bmp.data(), bmp.size() - 1, 0, 0, 1, D3DFMT_A8R8G8B8, tex));
  EXPECT_TRUE(tex.pixels.empty());
  EXPECT_EQ(tex.levels, 0u);
}
