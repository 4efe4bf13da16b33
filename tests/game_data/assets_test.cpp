// What the player sees and hears, checked on the committed files themselves:
// the pointer's tip, the block frame's clear middle, glyphs that stay inside
// their cells, and short, audible, unclipped sound effects.
#include <gtest/gtest.h>
#include <png.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

const std::filesystem::path kData = std::filesystem::path(OSTRAK_SOURCE_DIR) / "game" / "DATA";

struct Rgba {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> px;
  int Alpha(uint32_t x, uint32_t y) const { return px[(size_t(y) * width + x) * 4 + 3]; }
};
Rgba ReadPNG(const std::string& file) {
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  Rgba out;
  if (!png_image_begin_read_from_file(&img, (kData / file).c_str())) return out;
  img.format = PNG_FORMAT_RGBA;
  out.px.resize(PNG_IMAGE_SIZE(img));
  if (png_image_finish_read(&img, nullptr, out.px.data(), 0, nullptr)) out.width = img.width, out.height = img.height;
  return out;
}

TEST(GameAssetsTest, PointerTipIsTheTopLeftPixelOnAClearBackground) {
  const Rgba cursor = ReadPNG("tex_cursor.png");
  ASSERT_EQ(cursor.width, 32u);
  ASSERT_EQ(cursor.height, 32u);
  EXPECT_GT(cursor.Alpha(0, 0) + cursor.Alpha(1, 1), 200);  // the hot spot is on the arrow
  EXPECT_EQ(cursor.Alpha(31, 0), 0);
  EXPECT_EQ(cursor.Alpha(0, 31), 0);
  EXPECT_EQ(cursor.Alpha(31, 31), 0);
}

TEST(GameAssetsTest, BlockFrameLeavesTheBlockClearAndFramesItInTheMargin) {
  // Drawn at 2.5 cells: the block is the middle 0.1 .. 0.9 of the texture.
  const Rgba focus = ReadPNG("tex_focus.png");
  ASSERT_GT(focus.width, 0u);
  const uint32_t s = focus.width, mid = s / 2, edge = s / 10;
  for (uint32_t i = edge + 4; i < s - edge - 4; i += 8) EXPECT_LT(focus.Alpha(i, mid), 16) << i;  // a faint glow at most
  EXPECT_EQ(focus.Alpha(mid, mid), 0);
  int border = 0;
  for (uint32_t x = 0; x < edge; ++x) border = std::max(border, focus.Alpha(x, mid));
  EXPECT_GT(border, 200);
  EXPECT_EQ(focus.Alpha(0, 0), 0);
}

TEST(GameAssetsTest, GlyphsStayInsideTheirCellsAndPrintableOnesHaveWidths) {
  // With linear filtering a glyph touching its cell's edge bleeds into the
  // neighbour's quad.
  const Rgba font = ReadPNG("fnt_font1.png");
  ASSERT_EQ(font.width, font.height);
  const uint32_t cell = font.width / 16;
  for (int c = 0; c < 256; ++c) {
    const uint32_t x0 = (c % 16) * cell, y0 = (c / 16) * cell;
    for (uint32_t i = 0; i < cell; ++i) {
      ASSERT_EQ(font.Alpha(x0 + i, y0) | font.Alpha(x0 + i, y0 + cell - 1) | font.Alpha(x0, y0 + i) |
                    font.Alpha(x0 + cell - 1, y0 + i),
                0)
          << "glyph " << c << " touches its cell's edge";
    }
  }
  const std::string desc = ReadFileBytes(kData / "fnt_font1.fnt");
  EXPECT_NE(desc.find("cellsize=\"" + std::to_string(cell) + "\""), std::string::npos);
  for (int c = 32; c < 127; ++c) {
    std::smatch m;
    const std::string key = " cs" + std::to_string(c) + "=\"([0-9.]+)\"";
    ASSERT_TRUE(std::regex_search(desc, m, std::regex(key))) << c;
    EXPECT_GT(std::stod(m[1]), 0.0) << c;
    EXPECT_LT(std::stod(m[1]), double(cell)) << c;
  }
}

TEST(GameAssetsTest, SoundEffectsAreShortAudibleAndUnclipped) {
  for (const char* file : {"snd_piecemove.wav", "snd_gui_click.wav", "snd_gui_show.wav", "snd_gui_hide.wav",
                           "snd_gui_type.wav"}) {
    SF_INFO info{};
    SNDFILE* f = sf_open((kData / file).c_str(), SFM_READ, &info);
    ASSERT_NE(f, nullptr) << file;
    std::vector<float> pcm(size_t(info.frames) * info.channels);
    EXPECT_EQ(sf_readf_float(f, pcm.data(), info.frames), info.frames);
    sf_close(f);
    float peak = 0;
    for (float v : pcm) peak = std::max(peak, std::fabs(v));
    EXPECT_LT(double(info.frames) / info.samplerate, 0.5) << file;
    EXPECT_GT(peak, 0.2f) << file;
    EXPECT_LT(peak, 0.99f) << file;
    EXPECT_LT(std::fabs(pcm.back()), 0.01f) << file << " ends with a click";
  }
}

}  // namespace
