// JPEG and bitmap decoding, format detection and refusals.
#include <gtest/gtest.h>

#include <cstdlib>
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

std::vector<uint8_t> Pixel(const O2DImage& img, uint32_t x, uint32_t y) {
  const uint8_t* p = &img.rgba[(static_cast<size_t>(y) * img.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

using Px = std::vector<uint8_t>;

// Every prefix shorter than `minimum` must be refused; none may crash.
void ExpectPrefixesRefused(const std::string& bytes, size_t minimum) {
  for (size_t len = 0; len < bytes.size(); ++len) {
    O2DImage img;
    const bool ok = Decode(bytes.substr(0, len), img);
    if (len < minimum) {
      EXPECT_FALSE(ok) << "length " << len;
    }
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

TEST(ImageJpeg, ColourGreyAndProgressiveDecodeCloseToTheSource) {
  const uint32_t w = 40, h = 24;
  for (int components : {3, 1}) {
    for (bool progressive : {false, true}) {
      SCOPED_TRACE(testing::Message() << components << " components, progressive " << progressive);
      const auto src = Gradient(w, h, components);
      O2DImage img;
      std::string error;
      ASSERT_TRUE(Decode(EncodeJpeg(w, h, components, src, 95, progressive), img, &error)) << error;
      ASSERT_EQ(img.width, w);
      ASSERT_EQ(img.height, h);
      ASSERT_EQ(img.rgba.size(), w * h * 4u);
      int worst = 0;
      for (uint32_t i = 0; i < w * h; ++i) {
        for (int c = 0; c < 3; ++c) {
          const int expect = src[i * components + (components == 1 ? 0 : c)];
          worst = std::max(worst, std::abs(img.rgba[i * 4 + c] - expect));
        }
        EXPECT_EQ(img.rgba[i * 4 + 3], 255);
      }
      EXPECT_LE(worst, 8);
    }
  }
}

TEST(ImageJpeg, AdobeCmykBecomesRgb) {
  // Adobe CMYK stores ink inverted: (255, 0, 0, 255) is full magenta and yellow, no cyan or black.
  std::vector<uint8_t> src;
  for (int i = 0; i < 16 * 16; ++i) src.insert(src.end(), {255, 0, 0, 255});
  O2DImage img;
  std::string error;
  ASSERT_TRUE(Decode(EncodeJpeg(16, 16, 4, src, 95), img, &error)) << error;
  const Px p = Pixel(img, 8, 8);
  EXPECT_GE(p[0], 245);
  EXPECT_LE(p[1], 10);
  EXPECT_LE(p[2], 10);
  EXPECT_EQ(p[3], 255);
}

TEST(ImageJpeg, TruncatedOrDamagedFilesAreRefusedWithoutHarm) {
  const std::string jpeg = EncodeJpeg(24, 16, 3, Gradient(24, 16, 3), 90);
  // A file cut anywhere, even just before its end marker, would decode partly grey.
  ExpectPrefixesRefused(jpeg, jpeg.size());
  for (size_t pos = 2; pos < jpeg.size(); pos += 3) {
    std::string damaged = jpeg;
    damaged[pos] = static_cast<char>(damaged[pos] ^ 0xA5);
    O2DImage img;
    if (Decode(damaged, img)) {
      EXPECT_EQ(img.rgba.size(), static_cast<size_t>(img.width) * img.height * 4);
    }
  }
}

TEST(ImageBmp, TrueColourRowsPaddingAndOrientation) {
  // 3 x 2, so each 24-bit row carries 3 bytes of padding.
  TestBmp bmp;
  bmp.width = 3;
  bmp.height = 2;
  const std::vector<uint8_t> bottom = {0, 0, 255, 0, 255, 0, 255, 0, 0};  // red, green, blue (BGR)
  const std::vector<uint8_t> top = {255, 255, 255, 0, 0, 0, 10, 20, 30};
  bmp.rows = {bottom, top};
  O2DImage img;
  ASSERT_TRUE(Decode(BuildBmp(bmp), img));
  ASSERT_EQ(img.width, 3u);
  ASSERT_EQ(img.height, 2u);
  EXPECT_EQ(Pixel(img, 0, 0), (Px{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(img, 2, 0), (Px{30, 20, 10, 255}));
  EXPECT_EQ(Pixel(img, 0, 1), (Px{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(img, 2, 1), (Px{0, 0, 255, 255}));

  bmp.height = -2;  // the same rows read top-down
  ASSERT_TRUE(Decode(BuildBmp(bmp), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(img, 0, 1), (Px{255, 255, 255, 255}));
}

TEST(ImageBmp, ThirtyTwoBitAlphaIsUsedOnlyWhenPresent) {
  TestBmp bmp;
  bmp.width = 2;
  bmp.height = 1;
  bmp.bpp = 32;
  bmp.rows = {{1, 2, 3, 0, 4, 5, 6, 0}};
  O2DImage img;
  ASSERT_TRUE(Decode(BuildBmp(bmp), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{3, 2, 1, 255}));
  EXPECT_EQ(Pixel(img, 1, 0), (Px{6, 5, 4, 255}));

  bmp.rows = {{1, 2, 3, 0, 4, 5, 6, 128}};
  ASSERT_TRUE(Decode(BuildBmp(bmp), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{3, 2, 1, 0}));
  EXPECT_EQ(Pixel(img, 1, 0), (Px{6, 5, 4, 128}));
}

TEST(ImageBmp, BitFieldsAndSixteenBit) {
  TestBmp bmp;
  bmp.width = 2;
  bmp.height = 1;
  bmp.bpp = 16;
  // Plain 16-bit is 5-5-5: white-ish 0x7FFF and pure red 0x7C00.
  bmp.rows = {{0xFF, 0x7F, 0x00, 0x7C}};
  O2DImage img;
  ASSERT_TRUE(Decode(BuildBmp(bmp), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{255, 255, 255, 255}));
  EXPECT_EQ(Pixel(img, 1, 0), (Px{255, 0, 0, 255}));

  // 5-6-5 bit fields after a plain header: 0x07E0 is full green, 0x0400 is green 32/63.
  bmp.compression = 3;
  bmp.masks = {0xF800, 0x07E0, 0x001F};
  bmp.rows = {{0xE0, 0x07, 0x00, 0x04}};
  ASSERT_TRUE(Decode(BuildBmp(bmp), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(img, 1, 0), (Px{0, 130, 0, 255}));

  // 32-bit fields with an alpha mask inside a large header, channels in an unusual order.
  bmp.bpp = 32;
  bmp.headerSize = 124;
  bmp.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
  bmp.rows = {{10, 20, 30, 40, 50, 60, 70, 80}};
  ASSERT_TRUE(Decode(BuildBmp(bmp), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{10, 20, 30, 40}));
  EXPECT_EQ(Pixel(img, 1, 0), (Px{50, 60, 70, 80}));
}

TEST(ImageBmp, PalettedImagesOfOneFourAndEightBits) {
  const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  O2DImage img;

  TestBmp one;  // 10 pixels: 2 bytes of bits
  one.width = 10;
  one.height = 1;
  one.bpp = 1;
  one.palette = {0x102030, 0xFFFFFF};
  one.rows = {{0b10110000, 0b01000000}};
  ASSERT_TRUE(Decode(BuildBmp(one), img));
  const int bits[10] = {1, 0, 1, 1, 0, 0, 0, 0, 0, 1};
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(Pixel(img, x, 0), bits[x] ? (Px{255, 255, 255, 255}) : (Px{0x10, 0x20, 0x30, 255})) << x;

  TestBmp four;  // 3 pixels: the last nibble is padding
  four.width = 3;
  four.height = 1;
  four.bpp = 4;
  four.colorsUsed = 4;
  four.palette = palette;
  four.rows = {{0x12, 0x30}};
  ASSERT_TRUE(Decode(BuildBmp(four), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(img, 1, 0), (Px{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(img, 2, 0), (Px{0, 0, 255, 255}));

  // An index beyond the palette reads as black instead of beyond the table.
  TestBmp eight;
  eight.width = 2;
  eight.height = 1;
  eight.bpp = 8;
  eight.colorsUsed = 4;
  eight.palette = palette;
  eight.rows = {{2, 200}};
  ASSERT_TRUE(Decode(BuildBmp(eight), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(img, 1, 0), (Px{0, 0, 0, 255}));

  // The old core header has 3-byte palette entries.
  eight.headerSize = 12;
  ASSERT_TRUE(Decode(BuildBmp(eight), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{0, 255, 0, 255}));
}

TEST(ImageBmp, UnsupportedOrInconsistentFilesAreRefused) {
  TestBmp good;
  good.width = 4;
  good.height = 4;
  good.bpp = 8;
  good.palette = {0, 0xFFFFFF};
  good.rows.assign(4, std::vector<uint8_t>(4, 1));
  const std::string bytes = BuildBmp(good);
  O2DImage img;
  ASSERT_TRUE(Decode(bytes, img));

  auto refused = [&](TestBmp b) {
    O2DImage out;
    std::string error;
    const bool ok = Decode(BuildBmp(b), out, &error);
    return !ok && !error.empty() && out.rgba.empty();
  };
  TestBmp b = good;
  b.compression = 1;  // run-length encoded
  EXPECT_TRUE(refused(b));
  b = good;
  b.bpp = 2;
  EXPECT_TRUE(refused(b));
  b = good;
  b.width = 0;
  EXPECT_TRUE(refused(b));
  b = good;
  b.width = -4;
  EXPECT_TRUE(refused(b));
  b = good;
  b.height = 20000;  // too tall, and the rows are missing anyway
  EXPECT_TRUE(refused(b));
  b = good;
  b.height = 5;  // one row short
  EXPECT_TRUE(refused(b));
  b = good;
  b.headerSize = 20;
  EXPECT_TRUE(refused(b));

  std::string badOffset = bytes;
  badOffset[10] = static_cast<char>(0xF0);  // pixel data offset far past the end
  EXPECT_FALSE(Decode(badOffset, img));

  // Every cut before the last row's bytes is refused.
  ExpectPrefixesRefused(bytes, bytes.size());
}

TEST(ImageDecode, FormatIsToldByContent) {
  O2DImage img;
  std::string error;
  EXPECT_FALSE(O2D_DecodeImage(nullptr, 0, img, &error));
  EXPECT_FALSE(Decode("", img));
  EXPECT_FALSE(Decode("GIF89a......", img, &error));
  EXPECT_EQ(error, "unknown image format");
  EXPECT_FALSE(Decode(std::string("\x89PNG\r\n\x1a\n", 8), img));
  EXPECT_FALSE(Decode("\xFF\xD8\xFF", img));
  EXPECT_FALSE(Decode("BM", img));
  // A bitmap decodes whatever name it came under: only the bytes count.
  EXPECT_TRUE(Decode(BmpFromRgba(1, 1, {1, 2, 3, 4}), img));
  EXPECT_EQ(Pixel(img, 0, 0), (Px{1, 2, 3, 255}));
}
