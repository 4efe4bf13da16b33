// Fonts on the recording device: loading with the texture and technique on
// demand, character cells, advances, line feeds, limits, colour escapes and
// string widths, read back from the drawn vertices.
#include <functional>

#include "gfx2d_fixture.h"

namespace {

struct Glyph { float x, y, size, u, v; uint32_t color; };

class FontsTest : public Gfx2DTest {
 protected:
  void SetUp() override {
    Gfx2DTest::SetUp();
    WriteFileBytes("DATA/font.bmp", Bitmap32(16, 16, std::vector<uint32_t>(256, 0xFFFFFFFFu)));
    WriteFileBytes("DATA/teq.pack", "<techniquespack><t id=\"TEQ_FONT\" alphablending=\"ON\"/></techniquespack>");
    WriteFileBytes("DATA/a.fnt", FontXML("FNT_A", "TEX_FONT", "TEQ_FONT", "TEQ_PACK"));
    WriteFileBytes("DATA/c.fnt", FontXML("FNT_C", "TEX_FONT", "TEQ_FONT", "TEQ_PACK", 200));
    Start(Res("TEX_FONT", "font.bmp", "TEXTURE") + Res("TEQ_PACK", "teq.pack", "TECHNIQUE") +
          Res("FNT_A", "a.fnt", "FONT") + Res("FNT_C", "c.fnt", "FONT"));
  }

  // The glyphs drawn, in order, at the positions given (before the half-pixel shift).
  std::vector<Glyph> Draw(const std::function<void()>& draw) {
    m_device->ClearCalls();
    m_engine->SceneBegin();
    draw();
    m_engine->SceneEnd();
    std::vector<Glyph> glyphs;
    const std::vector<QuadVertex>& v = LastDraw().Vertices;
    for (size_t q = 0; q + 3 < v.size(); q += 4)
      glyphs.push_back({v[q].x + 0.5f, v[q].y + 0.5f, v[q + 1].x - v[q].x, v[q].tu1, v[q].tv1, v[q].diffuse});
    return glyphs;
  }
  std::vector<Glyph> Text(const char* text, int32_t limit = 0, int32_t color = -1) {
    return Draw([&] { m_engine->FontDrawText(text, 100, 50, limit, color, 1.0f); });
  }
  std::vector<Glyph> TextEx(const char* text, int32_t color, float scale = 1, float letter = 0, float line = 0) {
    return Draw([&] { m_engine->FontDrawTextEx(text, 100, 50, 0, color, 0.5f, true, scale, letter, line); });
  }
};

TEST_F(FontsTest, LoadingBringsItsTextureAndTechniqueAndNeedsEveryWidth) {
  m_engine->LoadResource("FNT_A");
  EXPECT_EQ(m_engine->FontGetCurrent(), 0);  // the first font becomes current
  const FontDesc* font = m_engine->FontGet(0);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(std::pair(font->iTexture, font->iTechnique), std::pair(0, 0));  // loaded on demand
  const std::string again = FontXML("FNT_A", "TEX_NONE", "TEQ_NONE", "TEQ_NONE");
  EXPECT_EQ(m_engine->LoadFont(again.data(), uint32_t(again.size())), 0);
  EXPECT_EQ(LogCount(" !: Warning: Dublicated font!\n"), 1u);
  EXPECT_EQ(Raised([&] { m_engine->LoadResource("FNT_C"); }), "1 0: Invalid character length!");
  const std::string noTexture = FontXML("FNT_X", "TEX_NONE", "TEQ_FONT", "TEQ_PACK");
  EXPECT_EQ(Raised([&] { m_engine->LoadFont(noTexture.data(), uint32_t(noTexture.size())); }),
            "1 0: Cannot load font texture!");
}

TEST_F(FontsTest, CellsAdvancesLineFeedsAndTheLimit) {
  m_engine->LoadResource("FNT_A");
  const auto cells = Text("\xC4W !");
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(std::tuple(cells[0].u, cells[0].v, cells[0].size), std::tuple(0.25f, 0.75f, 20.0f));  // 0xC4: column 4, row 12
  EXPECT_EQ(cells[1].x, 110.0f);
  EXPECT_EQ(cells[2].x, 130.5f);  // "W" advances 14.5 unrounded, the space floor(6.7)

  const auto lines = Text("ab\nc\x01\td");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_TRUE(lines[2].x == 100.0f && lines[2].y == 72.0f);  // the second line: 22 pixels lower, at the starting x
  EXPECT_EQ(lines[3].x, 119.0f);            // byte 1 neither drawn nor advanced; the tab floor(9.5)
  EXPECT_EQ(Text("a\nbcd", 3).size(), 2u);  // the line feed counts towards the limit

  // Drawing applies the font's texture and technique.
  EXPECT_EQ(m_engine->TexGetCurrent(0), m_engine->GetTextureIID("TEX_FONT"));
  EXPECT_EQ(m_engine->TechGetCurrent(), m_engine->GetTechniqueIID("TEQ_FONT"));
  m_engine->FontSet(4);  // accepted here, refused when drawing
  EXPECT_EQ(Raised([&] { Text("a"); }), "2 0: Cannot draw text: invalid current font id. ID = 4");
  EXPECT_EQ(Raised([&] { m_engine->FontSet(-1); }), "2 0: Cannot set current font: invalid ID. ID = -1");
}

TEST_F(FontsTest, ColourEscapesScaleSpacingAndWidths) {
  m_engine->LoadResource("FNT_A");
  const uint32_t colour2 = 0x7FFF7F00u, colour9 = 0x7F0000FFu;  // alpha 0.5
  const auto red = TextEx("%2Red", 9);
  ASSERT_EQ(red.size(), 3u);
  EXPECT_TRUE(red[0].x == 100.0f && red[2].color == colour2);
  const auto plain = TextEx("%2Red", -1);  // no escapes: "%" and "2" are drawn, in the quad's colour
  ASSERT_EQ(plain.size(), 5u);
  EXPECT_EQ(plain[0].u, 5 * 0.0625f);
  EXPECT_EQ(plain[4].color, colour2);
  const auto mixed = TextEx("a%9b%", 2);
  ASSERT_EQ(mixed.size(), 3u);
  EXPECT_EQ(mixed[1].color, colour9);
  EXPECT_EQ(mixed[2].u, 5 * 0.0625f);  // a "%" without a digit is a character

  // Scale 1.5, letter spacing 0.4, line spacing 3: every advance floored.
  const auto scaled = TextEx("WW\nW", 2, 1.5f, 0.4f, 3.0f);
  ASSERT_EQ(scaled.size(), 3u);
  EXPECT_EQ(scaled[0].size, 30.0f);
  EXPECT_EQ(scaled[1].x, 122.0f);  // floor(14.5 x 1.5 + 0.4)
  EXPECT_EQ(scaled[2].y, 86.0f);   // floor(20 x 1.5 x 1.1 + 3)

  // An index outside the table keeps the quad's colour.
  m_engine->VQuadSetColor(0, 1, 0, 1);
  EXPECT_EQ(Text("a", 0, 10).at(0).color, 0xFF00FF00u);
  // A string's width is its first line's.
  EXPECT_EQ(m_engine->FontGetStringWidth("W W\nWWW", 0, 1, 0), 34.0f);      // 14 + 6 + 14
  EXPECT_EQ(m_engine->FontGetStringWidth("%2W\x01\t", 0, 2, 0.5f), 48.0f);  // 29 + 19
  EXPECT_EQ(Raised([&] { m_engine->FontGetStringWidth("a", -1, 1, 0); }),
            "2 0: Cannot calculate string width: invalid font id. ID = -1");
}

}  // namespace
