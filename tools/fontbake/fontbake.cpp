// fontbake: bakes a TrueType face into the engine's bitmap font: a PNG of
// 16 x 16 character cells (white glyphs, coverage in alpha, so the drawing colour
// tints them) and the font description with the advance of every byte value.
//   fontbake FACE.ttf OUT.png OUT.font FONT_ID TEXTURE_ID TECHNIQUE_ID TECHPACK_ID
// Bytes 128..255 are Windows-1252 characters.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "o2d_tool_png.h"

namespace {

constexpr int kCell = 64;         // cell size in pixels, also the quad size at scale 1
constexpr int kPixelSize = 40;    // nominal size of the face
constexpr int kBaseline = 40;     // baseline, from the cell's top
constexpr int kLeft = 4;          // pen position, from the cell's left
constexpr int kSide = 16 * kCell;

// Windows-1252 code points of bytes 0x80..0x9F (0 where the code page has none).
constexpr uint32_t kCp1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t CodePoint(int byte) {
  if (byte >= 0x80 && byte < 0xA0) return kCp1252[byte - 0x80];
  return static_cast<uint32_t>(byte);
}

// The colour table: 0 dark brown (tile labels), 1 white, 2 gold, 3 pale blue,
// 4 red, 5 green, 6 grey, 7 black, 8 orange, 9 navy.
constexpr float kColors[10][3] = {{0.20f, 0.15f, 0.10f}, {1.0f, 1.0f, 1.0f},   {1.0f, 0.80f, 0.30f}, {0.72f, 0.82f, 1.0f},
                                  {0.90f, 0.30f, 0.25f}, {0.40f, 0.80f, 0.40f}, {0.62f, 0.64f, 0.68f}, {0.0f, 0.0f, 0.0f},
                                  {1.0f, 0.55f, 0.15f},  {0.12f, 0.18f, 0.35f}};

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr, "usage: fontbake FACE.ttf OUT.png OUT.font FONT_ID TEXTURE_ID TECHNIQUE_ID TECHPACK_ID\n");
    return 2;
  }
  FT_Library lib;
  FT_Face face;
  if (FT_Init_FreeType(&lib) || FT_New_Face(lib, argv[1], 0, &face) || FT_Set_Pixel_Sizes(face, 0, kPixelSize)) {
    std::fprintf(stderr, "fontbake: cannot open the face %s\n", argv[1]);
    return 1;
  }
  std::vector<uint8_t> rgba(static_cast<size_t>(kSide) * kSide * 4, 0);
  std::vector<double> widths(256, 0.0);
  for (int c = 0; c < 256; ++c) {
    const uint32_t cp = CodePoint(c);
    // Control bytes keep a width (the tab's is used when drawing) but no glyph.
    if (cp < 32 || cp == 0x7F || cp == 0 || (cp >= 0x80 && cp < 0xA0)) {
      widths[c] = c == 9 ? 4.0 * kPixelSize * 0.35 : 0.0;
      continue;
    }
    const FT_UInt index = FT_Get_Char_Index(face, cp);
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) {
      std::fprintf(stderr, "fontbake: cannot render U+%04X\n", cp);
      return 1;
    }
    const FT_GlyphSlot g = face->glyph;
    widths[c] = std::round(g->advance.x / 64.0 * 4.0) / 4.0;
    const int cellX = (c % 16) * kCell, cellY = (c / 16) * kCell;
    const FT_Bitmap& bm = g->bitmap;
    for (unsigned y = 0; y < bm.rows; ++y)
      for (unsigned x = 0; x < bm.width; ++x) {
        const int px = kLeft + g->bitmap_left + static_cast<int>(x), py = kBaseline - g->bitmap_top + static_cast<int>(y);
        if (px < 0 || py < 0 || px >= kCell || py >= kCell) continue;  // the cell clips what would spill over
        uint8_t* out = &rgba[(static_cast<size_t>(cellY + py) * kSide + cellX + px) * 4];
        out[0] = out[1] = out[2] = 255;
        out[3] = bm.buffer[y * bm.pitch + x];
      }
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  if (!ToolWritePNG(argv[2], kSide, kSide, rgba)) {
    std::fprintf(stderr, "fontbake: cannot write %s\n", argv[2]);
    return 1;
  }

  std::string xml = std::string("<fontdesc id=\"") + argv[4] + "\" textureid=\"" + argv[5] + "\" techniqueid=\"" +
                    argv[6] + "\" techpackid=\"" + argv[7] + "\" cellsize=\"" + std::to_string(kCell) + "\" tag=\"3\"";
  for (int i = 0; i < 10; ++i)
    for (int k = 0; k < 3; ++k) xml += " color" + std::to_string(i) + "rgb"[k] + "=\"" + Num(kColors[i][k]) + "\"";
  for (int c = 0; c < 256; ++c) xml += (c % 8 == 0 ? "\n " : " ") + std::string("cs") + std::to_string(c) + "=\"" + Num(widths[c]) + "\"";
  xml += "/>\n";
  std::ofstream out(argv[3], std::ios::binary);
  if (!(out << xml)) {
    std::fprintf(stderr, "fontbake: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
