// JPEG and bitmap decoding, format detection and refusals; texture building:
// format conversion precision, mip chains, scaling and the texture arguments.
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "o2d_image_loader.h"

namespace {

struct TestBmp {
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored top-down
  uint16_t bpp = 24;
  uint32_t compression = 0;
  uint32_t headerSize = 40;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> palette{};  // 0x00RRGGBB
  std::vector<uint32_t> masks{};    // bit fields, written after a 40-byte header or inside a larger one
  // Rows in file order, each without padding; the builder pads them to 4 bytes.
  std::vector<std::vector<uint8_t>> rows{};
};

// Little-endian values of `bytes` bytes each.
void Put(std::string& s, std::initializer_list<uint32_t> values, int bytes = 4) {
  for (uint32_t v : values)
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string BuildBmp(const TestBmp& bmp) {
  const auto w = static_cast<uint32_t>(bmp.width), h = static_cast<uint32_t>(bmp.height);
  std::string header;
  if (bmp.headerSize == 12) {
    Put(header, {12});
    Put(header, {w, h, 1, bmp.bpp}, 2);
  } else {
    Put(header, {bmp.headerSize, w, h});
    Put(header, {1, bmp.bpp}, 2);
    Put(header, {bmp.compression, 0, 2835, 2835, bmp.colorsUsed, 0});
    std::string masks;
    for (uint32_t m : bmp.masks) Put(masks, {m});
    if (bmp.headerSize > 40) masks.resize(bmp.headerSize - 40, '\0');
    header += masks;
  }
  for (uint32_t c : bmp.palette) Put(header, {c}, bmp.headerSize == 12 ? 3 : 4);
  std::string pixels;
  for (const auto& row : bmp.rows) {
    pixels.append(row.begin(), row.end());
    pixels.resize((pixels.size() + 3) / 4 * 4, '\0');
  }
  std::string file = "BM";
  Put(file, {static_cast<uint32_t>(14 + header.size() + pixels.size()), 0, static_cast<uint32_t>(14 + header.size())});
  return file + header + pixels;
}

std::string EncodeJpeg(uint32_t width, uint32_t height, int components, const std::vector<uint8_t>& samples,
                       int quality, const std::vector<jpeg_scan_info>& scans = {}) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (!scans.empty()) {
    cinfo.scan_info = scans.data();
    cinfo.num_scans = static_cast<int>(scans.size());
  }
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&samples[cinfo.next_scanline * width * components]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

bool Decode(const std::string& bytes, O2DImage& img, std::string* error = nullptr) {
  // A copy of exactly the bytes, so that a read past the end is caught by ASan.
  std::vector<char> exact(bytes.begin(), bytes.end());
  return O2D_DecodeImage(exact.data(), exact.size(), img, error);
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

std::vector<uint16_t> Convert16(const std::vector<uint8_t>& rgba, uint32_t format) {
  std::vector<uint8_t> out;
  EXPECT_TRUE(O2D_ConvertImage(O2DImage{static_cast<uint32_t>(rgba.size() / 4), 1, rgba}, format, out));
  std::vector<uint16_t> v;
  for (size_t i = 0; i + 1 < out.size(); i += 2) v.push_back(static_cast<uint16_t>(out[i] | out[i + 1] << 8));
  return v;
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

TEST(ImageJpeg, FilesCutShortAnyWayAreRefused) {
  const std::string jpeg = EncodeJpeg(48, 32, 3, Gradient(48, 32, 3), 90);
  // Cut anywhere, even just before its end marker, a file would decode partly grey.
  ExpectPrefixesRefused(jpeg);
  const size_t sos = jpeg.find("\xFF\xDA");
  ASSERT_NE(sos, std::string::npos);
  const size_t data = sos + 2 + (uint8_t(jpeg[sos + 2]) << 8 | uint8_t(jpeg[sos + 3]));
  // An end marker anywhere inside the compressed data; the last bytes may be padding only.
  O2DImage img;
  std::string error;
  for (size_t cut = data; cut + 16 < jpeg.size(); ++cut)
    EXPECT_FALSE(Decode(jpeg.substr(0, cut) + "\xFF\xD9", img, &error)) << "cut at " << cut;
  EXPECT_NE(error.find("premature end"), std::string::npos) << error;

  // A progressive file that ends before the DC scan of its second and third components.
  std::vector<jpeg_scan_info> scans;
  for (int c = 0; c < 3; ++c) scans.push_back({1, {c}, 0, 0, 0, 0});
  for (int c = 0; c < 3; ++c) scans.push_back({1, {c}, 1, 63, 0, 0});
  const std::string progressive = EncodeJpeg(48, 32, 3, Gradient(48, 32, 3), 90, scans);
  ASSERT_TRUE(Decode(progressive, img, &error)) << error;
  const size_t second = progressive.find("\xFF\xDA", progressive.find("\xFF\xDA") + 2);
  ASSERT_NE(second, std::string::npos);
  EXPECT_FALSE(Decode(progressive.substr(0, second) + "\xFF\xD9", img, &error));
  EXPECT_EQ(error, "JPEG: compressed data ends early");

  // A small file that claims 8192 x 8192 is refused before its pixels are allocated.
  std::string big = jpeg;
  const size_t sof = big.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  for (size_t at : {sof + 5, sof + 7}) big[at] = '\x20', big[at + 1] = '\0';
  EXPECT_FALSE(Decode(big, img, &error));
  EXPECT_EQ(error, "JPEG: file too short for its image size");
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
    for (size_t i = 0; i < c.pixels.size(); ++i)
      EXPECT_EQ(uint32_t(img.rgba[i * 4]) << 24 | img.rgba[i * 4 + 1] << 16 | img.rgba[i * 4 + 2] << 8 | img.rgba[i * 4 + 3],
                c.pixels[i]) << "case " << k << " pixel " << i;
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
  // The format is told by content only.
  std::string error;
  EXPECT_FALSE(Decode("GIF89a......", img, &error));
  EXPECT_EQ(error, "unknown image format");
  ExpectPrefixesRefused(bytes);
}

TEST(ImageConvert, PackingsRoundToTheirLevelsAndUnsupportedFormatsAreRefused) {
  // Four bits round to the nearest of 16 levels: 8 is below half a step, 9 above.
  EXPECT_EQ(Convert16({8, 9, 128, 255, 255, 0, 9, 8}, D3DFMT_A4R4G4B4), (std::vector<uint16_t>{0xF018, 0x0F01}));
  // Unused bits as ones.
  EXPECT_EQ(Convert16({0, 255, 0, 0, 0, 0, 255, 0}, D3DFMT_X1R5G5B5), (std::vector<uint16_t>{0x83E0, 0x801F}));
  // One alpha bit: half and above is opaque; six bits of green round to their own levels.
  EXPECT_EQ(Convert16({255, 0, 0, 127, 255, 0, 0, 128}, D3DFMT_A1R5G5B5), (std::vector<uint16_t>{0x7C00, 0xFC00}));
  EXPECT_EQ(Convert16({0, 130, 0, 255}, D3DFMT_R5G6B5)[0], 32 << 5);

  // Conversion runs over blocks of pixels, in place when a texture is made: past
  // the first block and into a part-filled last one, every texel is the same.
  O2DImage wide{600, 1, std::vector<uint8_t>(2400)};
  for (size_t i = 0; i < wide.rgba.size(); ++i) wide.rgba[i] = static_cast<uint8_t>(i * 37 + i / 7);
  for (uint32_t format : {D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8}) {
    std::vector<uint8_t> apart;
    ASSERT_TRUE(O2D_ConvertImage(wide, format, apart));
    O2DImageTexture tex;
    ASSERT_TRUE(O2D_MakeImageTexture(O2DImage(wide), {0, 0, 1, format, 0}, tex));
    EXPECT_EQ(tex.pixels, apart);
  }
  const std::vector<uint8_t> last(wide.rgba.end() - 4, wide.rgba.end());
  EXPECT_EQ(Convert16(last, D3DFMT_A4R4G4B4)[0], Convert16(wide.rgba, D3DFMT_A4R4G4B4)[599]);

  // 32 bits in B, G, R, A byte order; formats without a conversion are refused.
  const O2DImage px = O2DImage{1, 1, {0x11, 0x22, 0x33, 0x44}};
  std::vector<uint8_t> argb, xrgb, out;
  ASSERT_TRUE(O2D_ConvertImage(px, D3DFMT_A8R8G8B8, argb) && O2D_ConvertImage(px, D3DFMT_X8R8G8B8, xrgb));
  EXPECT_EQ(argb, (std::vector<uint8_t>{0x33, 0x22, 0x11, 0x44}));
  EXPECT_EQ(xrgb, (std::vector<uint8_t>{0x33, 0x22, 0x11, 0xFF}));
  for (uint32_t format : {0u, 20u, 29u, 50u}) {
    EXPECT_EQ(O2DFormatBytesPerPixel(format), 0u);
    EXPECT_FALSE(O2D_ConvertImage(px, format, out));
  }
}

// Even sizes halve by the box filter (the texture test's level 1); an odd side averages by area.
TEST(ImageResample, HalvingAveragesByAreaAndEnlargingInterpolates) {
  std::vector<uint8_t> nine;
  for (int i = 0; i < 9; ++i) nine.insert(nine.end(), {uint8_t(i * 10), 0, 0, 255});
  const O2DImage odd = O2D_HalveImage(O2DImage{3, 3, nine});
  ASSERT_EQ(odd.width, 1u);
  EXPECT_EQ(odd.rgba[0], 40);
  O2DImage wide, any;
  // Texel centres at -0.25 (clamped), 0.25, 0.75 and 1.25 (clamped) of the source.
  ASSERT_TRUE(O2D_ScaleImage(O2DImage{2, 1, {0, 0, 0, 255, 255, 255, 255, 255}}, 4, 1, wide));
  EXPECT_EQ(std::vector<uint8_t>({wide.rgba[0], wide.rgba[4], wide.rgba[8], wide.rgba[12]}),
            (std::vector<uint8_t>{0, 64, 191, 255}));
  EXPECT_FALSE(O2D_ScaleImage(wide, 0, 4, any));
  EXPECT_FALSE(O2D_ScaleImage(wide, O2DIMG_MAX_SIDE + 1, 4, any));
}

TEST(ImageTexture, SizeLevelsFormatArgumentsAndRefusals) {
  // 4 x 4, texel (x, y) with red = x * 16 + y, green = 255 - that, blue = 7, alpha = 255.
  TestBmp ramp{.width = 4, .height = -4, .bpp = 32, .rows = std::vector<std::vector<uint8_t>>(4)};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) ramp.rows[y].insert(ramp.rows[y].end(), {7, uint8_t(255 - x * 16 - y), uint8_t(x * 16 + y), 255});
  const std::string bmp = BuildBmp(ramp);
  O2DImageTexture tex;
  auto load = [&](uint32_t w, uint32_t h, uint32_t levels, uint32_t format) {
    std::string error;
    EXPECT_TRUE(O2D_LoadImageTexture(bmp.data(), bmp.size(), w, h, levels, format, tex, 0, &error)) << error;
  };
  // 0 and "default" keep the image size and build the full chain 4, 2, 1.
  load(0, O2DIMG_DEFAULT, O2DIMG_DEFAULT, D3DFMT_A8R8G8B8);
  EXPECT_EQ(std::tuple(tex.width, tex.height, tex.levels, tex.format), std::tuple(4u, 4u, 3u, D3DFMT_A8R8G8B8));
  EXPECT_EQ(std::pair(tex.LevelOffset(1), tex.LevelOffset(2)), std::pair(size_t{64}, size_t{80}));
  // Level 1 is the box-filtered image in B, G, R, A bytes: red (0+1+16+17)/4, green (255+254+239+238)/4.
  EXPECT_EQ(std::pair(tex.pixels[64 + 2], tex.pixels[64 + 1]), std::pair(uint8_t{9}, uint8_t{247}));

  // A count above the chain is cut to it.
  load(0, 0, 9, D3DFMT_R5G6B5);
  EXPECT_EQ(std::pair(tex.levels, tex.pixels.size()), std::pair(3u, size_t(21 * 2)));

  // A requested size scales; a non-square chain ends at 1x1 after the longer side.
  load(16, 2, 0, D3DFMT_X8R8G8B8);
  EXPECT_EQ(std::tuple(tex.levels, tex.LevelWidth(4), tex.LevelHeight(2)), std::tuple(5u, 1u, 1u));
  EXPECT_EQ(std::pair(tex.pixels.size(), tex.LevelOffset(5)), std::pair(size_t{47 * 4}, size_t{47 * 4}));  // 32+8+4+2+1

  // Refusals leave no texture.
  tex = {};
  std::string error;
  EXPECT_FALSE(O2D_LoadImageTexture(bmp.data(), bmp.size(), 0, 0, 1, 29, tex, 0, &error));  // A8R3G3B2
  EXPECT_NE(error.find("format"), std::string::npos);
  // A negative texture size seen as unsigned is not a size.
  EXPECT_FALSE(O2D_LoadImageTexture(bmp.data(), bmp.size(), 0xFFFFFFFEu, 0xFFFFFFFEu, 1, D3DFMT_A8R8G8B8, tex));
  EXPECT_FALSE(O2D_LoadImageTexture(bmp.data(), bmp.size() - 1, 0, 0, 1, D3DFMT_A8R8G8B8, tex));
  EXPECT_EQ(std::pair(tex.pixels.size(), tex.levels), std::pair(size_t{0}, 0u));
}
