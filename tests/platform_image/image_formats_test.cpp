// JPEG and bitmap decoding, format detection and refusals.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "image_test_util.h"
#include "o2d_image_loader.h"

namespace {

bool Decode(const std::string& bytes, O2DImage& img, std::string* error = nullptr) {
  // A copy of exactly the bytes, so that a read past the end is caught by ASan.
  std::vector<char> exact(bytes.begin(), bytes.end());
  return O2D_DecodeImage(exact.data(), exact.size(), img, error);
}

// The pixel as 0xRRGGBBAA.
uint32_t Pixel(const O2DImage& img, size_t i) {
  const uint8_t* p = &img.rgba[i * 4];
  return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// Every prefix shorter than the whole must be refused; none may crash.
void ExpectPrefixesRefused(const std::string& bytes) {
  for (size_t len = 0; len < bytes.size(); ++len) {
    O2DImage img;
    EXPECT_FALSE(Decode(bytes.substr(0, len), img)) << "length " << len;
  }
}

// A smooth colour image, so that JPEG's error stays small.
std::vector<uint8_t> Gradient(uint32_t w, uint32_t h, int components) {
  std::vector<uint8_t> s;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x)
      for (int c = 0; c < components; ++c)
        s.push_back(static_cast<uint8_t>(c == 0 ? x * 255 / (w - 1) : c == 1 ? y * 255 / (h - 1) : 128));
  return s;
}

}  // namespace

TEST(ImageJpeg, ColourGreyAndCmykDecodeCloseToTheSource) {
  const uint32_t w = 40, h = 24;
  for (int components : {3, 1}) {
    const auto src = Gradient(w, h, components);
    O2DImage img;
    std::string error;
    ASSERT_TRUE(Decode(EncodeJpeg(w, h, components, src, 95), img, &error)) << error;
    ASSERT_EQ(img.rgba.size(), w * h * 4u);
    ASSERT_EQ(img.width, w);
    int worst = 0;
    for (uint32_t i = 0; i < w * h; ++i) {
      for (int c = 0; c < 3; ++c)
        worst = std::max(worst, std::abs(img.rgba[i * 4 + c] - src[i * components + (components == 1 ? 0 : c)]));
      EXPECT_EQ(img.rgba[i * 4 + 3], 255);
    }
    EXPECT_LE(worst, 8) << components << " components";
  }
  // Adobe CMYK stores ink inverted: (255, 0, 0, 255) is full magenta and yellow, no cyan or black.
  std::vector<uint8_t> cmyk;
  for (int i = 0; i < 16 * 16; ++i) cmyk.insert(cmyk.end(), {255, 0, 0, 255});
  O2DImage img;
  ASSERT_TRUE(Decode(EncodeJpeg(16, 16, 4, cmyk, 95), img));
  const uint8_t* p = &img.rgba[(8 * 16 + 8) * 4];
  EXPECT_TRUE(p[0] >= 245 && p[1] <= 10 && p[2] <= 10 && p[3] == 255);
}

TEST(ImageJpeg, TruncatedOrDamagedFilesAreRefusedWithoutHarm) {
  const std::string jpeg = EncodeJpeg(24, 16, 3, Gradient(24, 16, 3), 90);
  // A file cut anywhere, even just before its end marker, would decode partly grey.
  ExpectPrefixesRefused(jpeg);
  for (size_t pos = 2; pos < jpeg.size(); pos += 3) {
    std::string damaged = jpeg;
    damaged[pos] = static_cast<char>(damaged[pos] ^ 0xA5);
    O2DImage img;
    if (Decode(damaged, img)) EXPECT_EQ(img.rgba.size(), size_t(img.width) * img.height * 4);
  }
}

TEST(ImageBmp, EveryLayoutDecodesToItsPixels) {
  const uint32_t red = 0xFF0000FF, green = 0x00FF00FF, blue = 0x0000FFFF, white = 0xFFFFFFFF, black = 0x000000FF;
  const uint32_t dark = 0x102030FF;
  // 3 x 2, so each 24-bit row carries 3 bytes of padding; rows bottom-up, channels BGR.
  const std::vector<std::vector<uint8_t>> rows3x2 = {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {255, 255, 255, 0, 0, 0, 10, 20, 30}};
  const struct {
    TestBmp bmp;
    std::vector<uint32_t> pixels;  // from the top row
  } cases[] = {
      {{.width = 3, .height = 2, .rows = rows3x2}, {white, black, 0x1E140AFF, red, green, blue}},
      {{.width = 3, .height = -2, .rows = rows3x2}, {red, green, blue, white, black, 0x1E140AFF}},  // top-down
      // 32 bits use their alpha only when some pixel has one.
      {{.width = 2, .height = 1, .bpp = 32, .rows = {{1, 2, 3, 0, 4, 5, 6, 0}}}, {0x030201FF, 0x060504FF}},
      {{.width = 2, .height = 1, .bpp = 32, .rows = {{1, 2, 3, 0, 4, 5, 6, 128}}}, {0x03020100, 0x06050480}},
      {{.width = 2, .height = 1, .bpp = 16, .rows = {{0xFF, 0x7F, 0x00, 0x7C}}}, {white, red}},  // 5-5-5
      // 5-6-5 fields: 0x0400 is green 32/63.
      {{.width = 2, .height = 1, .bpp = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F},
        .rows = {{0xE0, 0x07, 0x00, 0x04}}},
       {green, 0x008200FF}},
      // 32-bit fields with alpha inside a large header.
      {{.width = 2, .height = 1, .bpp = 32, .compression = 3, .headerSize = 124,
        .masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}, .rows = {{10, 20, 30, 40, 50, 60, 70, 80}}},
       {0x0A141E28, 0x323C4650}},
      // 1 bit: 10 pixels in 2 bytes.
      {{.width = 10, .height = 1, .bpp = 1, .palette = {0x102030, 0xFFFFFF}, .rows = {{0b10110000, 0b01000000}}},
       {white, dark, white, white, dark, dark, dark, dark, dark, white}},
      // Core header with 3-byte palette entries; an index beyond the palette reads as black.
      {{.width = 2, .height = 1, .bpp = 8, .headerSize = 12, .colorsUsed = 4, .palette = {0, 0xFF0000, 0x00FF00, 0x0000FF},
        .rows = {{2, 200}}},
       {green, black}},
  };
  for (size_t k = 0; k < std::size(cases); ++k) {
    const auto& c = cases[k];
    O2DImage img;
    ASSERT_TRUE(Decode(BuildBmp(c.bmp), img)) << "case " << k;
    ASSERT_EQ(size_t(img.width) * img.height, c.pixels.size()) << "case " << k;
    for (size_t i = 0; i < c.pixels.size(); ++i) EXPECT_EQ(Pixel(img, i), c.pixels[i]) << "case " << k << " pixel " << i;
  }
}

TEST(ImageBmp, UnsupportedOrInconsistentFilesAreRefused) {
  const TestBmp good = {.width = 4, .height = 4, .bpp = 8, .palette = {0, 0xFFFFFF}, .rows = {4, {1, 1, 1, 1}}};
  const std::string bytes = BuildBmp(good);
  O2DImage img;
  ASSERT_TRUE(Decode(bytes, img));
  const std::function<void(TestBmp&)> damages[] = {
      [](TestBmp& b) { b.compression = 1; },  // run-length encoded
      [](TestBmp& b) { b.bpp = 2; },          [](TestBmp& b) { b.width = -4; },
      [](TestBmp& b) { b.height = 20000; },   // too tall, rows missing too
      [](TestBmp& b) { b.height = 5; },       // one row short
      [](TestBmp& b) { b.headerSize = 20; }};
  for (const auto& damage : damages) {
    TestBmp bad = good;
    damage(bad);
    O2DImage out;
    std::string error;
    EXPECT_FALSE(Decode(BuildBmp(bad), out, &error));
    EXPECT_TRUE(!error.empty() && out.rgba.empty());
  }
  std::string badOffset = bytes;
  badOffset[10] = static_cast<char>(0xF0);  // pixel data offset far past the end
  EXPECT_FALSE(Decode(badOffset, img));
  ExpectPrefixesRefused(bytes);
}

TEST(ImageDecode, FormatIsToldByContent) {
  O2DImage img;
  std::string error;
  EXPECT_FALSE(O2D_DecodeImage(nullptr, 0, img, &error));
  EXPECT_FALSE(Decode("GIF89a......", img, &error));
  EXPECT_EQ(error, "unknown image format");
  // Only the bytes count, whatever name the file came under.
  EXPECT_TRUE(Decode(BmpFromRgba(1, 1, {1, 2, 3, 4}), img));
  EXPECT_EQ(Pixel(img, 0), 0x010203FFu);
}
