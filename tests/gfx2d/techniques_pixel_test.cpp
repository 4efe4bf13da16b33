// Techniques drawn for real on the OpenGL device. Every expected colour is
// worked out by hand from the fixed pipeline's formulas, in bytes:
//   MODULATE a1 x a2 / 255, ADD min(a1 + a2, 255), SUBTRACT max(a1 - a2, 0),
//   DOTPRODUCT3 255 x saturate(4 x sum((a1 / 255 - 0.5) x (a2 / 255 - 0.5))) in
//   every channel, blending src x srcFactor + dest x destFactor, vertex fog
//   f x colour + (1 - f) x fog colour with f the specular alpha.
#include "gfx2d_fixture.h"

namespace {

// The operands: the clear colour B (0.2, 0.4, 0.6) = 51, 102, 153; the texel T =
// 64, 128, 192; D = VQuadSetColor(0.5, 1, 0.25) = 127, 255, 63 (truncated); the
// factor F = 204, 153, 102.
constexpr const char* kFactor = "texturefactorr=\"0.8\" texturefactorg=\"0.6\" texturefactorb=\"0.4\" ";

std::string Colour(const std::string& op, const std::string& arg1, const std::string& arg2) {
  return std::string(kFactor) + "alphablending=\"OFF\" s0_colorop=\"" + op + "\" s0_colorarg1=\"" + arg1 +
         "\" s0_colorarg2=\"" + arg2 + "\" s1_colorop=\"DISABLE\"";
}
// Source colour and alpha from the diffuse colour.
std::string Blend(const std::string& src, const std::string& dest, const std::string& on = "ON") {
  return "alphablending=\"" + on + "\" absrc=\"" + src + "\" abdest=\"" + dest +
         "\" s0_colorop=\"SELECTARG1\" s0_colorarg1=\"DIFFUSE\" s0_alphaop=\"SELECTARG1\" s0_alphaarg1=\"DIFFUSE\" "
         "s1_colorop=\"DISABLE\"";
}

// A technique's attributes and the colour its quad shows.
struct Case {
  std::string technique;
  uint32_t expected;
};

class TechniquesPixelTest : public Gfx2DPixelTest {
 protected:
  // One quad per case, each drawn with a technique of the case's attributes over
  // B; checks their centres (the first pixel of quads of 4 pixels or less).
  void ExpectRow(const std::vector<Case>& cases, float r, float g, float b, float a, float size = 8, float z = 0.5f) {
    std::string pack;
    for (size_t i = 0; i < cases.size(); ++i) pack += "<t id=\"" + Id(i) + "\" " + cases[i].technique + "/>";
    Techniques(*m_engine, pack);
    m_engine->SceneBegin();
    m_engine->SceneClearScreen(0.2f, 0.4f, 0.6f);
    for (size_t i = 0; i < cases.size(); ++i) {
      m_engine->TechApplyByStrID(Id(i).c_str());
      m_engine->VQuadSetColor(r, g, b, a);
      Quad(10.0f + 20.0f * float(i), 10, size, size, z);
    }
    const O2DFrameImage frame = EndAndRead();
    const uint32_t centre = size > 4 ? 4 : 0;
    for (size_t i = 0; i < cases.size(); ++i)
      EXPECT_TRUE(RGBNear(At(frame, 10 + centre + 20 * uint32_t(i), 10 + centre), cases[i].expected))
          << cases[i].technique;
    ++m_row;
  }
  std::string Id(size_t i) const { return "TEQ_" + std::to_string(m_row) + "_" + std::to_string(i); }
  int m_row = 0;
};

TEST_F(TechniquesPixelTest, ColourOperationsArgumentsAndTwoStages) {
  Texture("TEX_T", 1, 1, {0xFF4080C0u});
  m_engine->TexSet(0, 0);
  ExpectRow({{Colour("MODULATE", "TEXTURE", "DIFFUSE"), 0x20802F},      // 64 x 127 / 255 = 31.9, 128, 47.4
             {Colour("ADD", "TEXTURE", "DIFFUSE"), 0xBFFFFF},           // 191, 383 -> 255, 255
             {Colour("SUBTRACT", "TEXTURE", "DIFFUSE"), 0x000081},      // 0, 0, 129
             {Colour("SELECTARG1", "TFACTOR", "TEXTURE"), 0xCC9966},    // F
             {Colour("SELECTARG2", "TEXTURE", "DIFFUSE"), 0x7FFF3F},    // D
             {Colour("DOTPRODUCT3", "TFACTOR", "DIFFUSE"), 0x4C4C4C},   // 4 x 0.0747 = 0.2988 -> 76.2
             {Colour("DISABLE", "TEXTURE", "TEXTURE"), 0x7FFF3F},       // a disabled first stage leaves D
             {std::string(kFactor) +                                    // F - T = 140, 25, 0
                  "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"TEXTURE\" s1_colorop=\"SUBTRACT\" "
                  "s1_colorarg1=\"TFACTOR\" s1_colorarg2=\"CURRENT\" s1_alphaop=\"SELECTARG1\"",
              0x8C1900}},
            0.5f, 1.0f, 0.25f, 1.0f);
}

TEST_F(TechniquesPixelTest, AlphaOperationsAndBlendFactors) {
  Texture("TEX_HALF", 1, 1, {0x80FFFFFFu});  // alpha 128
  std::vector<Case> alpha;
  // White with alpha A over B: B + (255 - B) x A; A = 128 / 255, 0.502 x 0.498 = 0.25, 0.502 + 0.498 = 1.
  for (auto [op, expected] : {std::pair{"SELECTARG1", 0x99B3CC}, {"MODULATE", 0x668CB2}, {"ADD", 0xFFFFFF}})
    alpha.push_back({std::string("alphablending=\"ON\" absrc=\"SRCALPHA\" abdest=\"INVSRCALPHA\" s0_colorop=\""
                                 "SELECTARG1\" s0_colorarg1=\"DIFFUSE\" s0_alphaop=\"") +
                         op + "\" s0_alphaarg1=\"TEXTURE\" s0_alphaarg2=\"DIFFUSE\"",
                     uint32_t(expected)});
  m_engine->TexSet(0, 0);
  ExpectRow(alpha, 1, 1, 1, 0.5f);
  // S = (255, 127, 0) with A = 127 / 255; the frame has no alpha of its own (reads 1).
  m_engine->TexSetNoTexture(0);
  ExpectRow({{Blend("SRCALPHA", "INVSRCALPHA"), 0x99724D},     // S x A + B x (1 - A): 152.6, 114.5, 76.8
             {Blend("ZERO", "SRCCOLOR"), 0x333300},            // B x S: 51, 50.8, 0
             {Blend("ONE", "INVSRCCOLOR"), 0xFFB299},          // S + B x (1 - S): 255, 178.2, 153
             {Blend("DESTCOLOR", "ONE"), 0x669999},            // S x B + B: 102, 152.8, 153
             {Blend("INVDESTCOLOR", "ZERO"), 0xCC4C00},        // S x (1 - B): 204, 76.2, 0
             {Blend("DESTALPHA", "ZERO"), 0xFF7F00},           // S x 1
             {Blend("INVDESTALPHA", "ONE"), 0x336699},         // S x 0 + B
             {Blend("SRCALPHASAT", "INVSRCALPHA"), 0x1A334D},  // min(A, 1 - 1) = 0: B x (1 - A)
             {Blend("ONE", "ONE", "on"), 0xFF7F00}},           // lower case: blending off, S
            1, 0.5f, 0, 0.5f);
}

// The fog factor is the depth: f = 64 / 255 at 0.25 (0.25 x 255 + 0.5).
TEST_F(TechniquesPixelTest, LinearVertexFogFromTheSpecularAlpha) {
  const std::string colour = " s0_colorop=\"SELECTARG1\" s0_colorarg1=\"DIFFUSE\"";
  ExpectRow({{"fog=\"ON\" fogcolorr=\"1\"" + colour, 0xBF0040},  // red 255 x 191 / 255, blue 255 x 64 / 255
             {"fog=\"OFF\" fogcolorr=\"1\"" + colour, 0x0000FF}},
            0, 0, 1, 1, 8, 0.25f);
}

// A black and a white texel stretched over eight pixels: pixel k samples texel
// coordinate (k + 0.5) / 4 (once over the texture) or / 2 (twice over it).
TEST_F(TechniquesPixelTest, AddressModesAndFiltersOnBothStages) {
  Texture("TEX_BW", 2, 1, {0xFF000000u, 0xFFFFFFFFu});
  std::string packs;
  for (std::string address : {"WRAP", "CLAMP"})
    for (std::string filter : {"POINT", "LINEAR"}) {
      std::string states;
      for (std::string stage : {"s0_", "s1_"})
        states += stage + "minfilter=\"" + filter + "\" " + stage + "magfilter=\"" + filter + "\" " + stage +
                  "address=\"" + address + "\" ";
      packs += "<t id=\"S0" + address + filter + "\" " + states +
               "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"TEXTURE\" s1_colorop=\"DISABLE\"/>";
      packs += "<t id=\"S1" + address + filter + "\" " + states +
               "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"DIFFUSE\" s1_colorop=\"SELECTARG1\" s1_colorarg1=\"TEXTURE\"/>";
    }
  Techniques(*m_engine, packs);
  const uint32_t B = 0, W = 0xFFFFFF;
  struct Run {
    const char* technique;
    float uRight;
    uint32_t expected[8];
  };
  // Linear weights come from the texel centres at 0.5 and 1.5; beyond an edge
  // the other texel (wrap) or the edge texel (clamp) takes part.
  const Run runs[] = {
      {"WRAPPOINT", 2, {B, B, W, W, B, B, W, W}},
      {"CLAMPPOINT", 2, {B, B, W, W, W, W, W, W}},
      {"CLAMPLINEAR", 1, {B, B, 0x202020, 0x606060, 0x9F9F9F, 0xDFDFDF, W, W}},
      {"WRAPLINEAR", 1, {0x606060, 0x202020, 0x202020, 0x606060, 0x9F9F9F, 0xDFDFDF, 0xDFDFDF, 0x9F9F9F}}};
  for (int stage = 0; stage < 2; ++stage) {
    m_engine->SceneBegin();
    m_engine->TexSet(0, stage);
    m_engine->VQuadSetColor(1, 1, 1, 1);
    for (size_t i = 0; i < std::size(runs); ++i) {
      m_engine->TechApplyByStrID(("S" + std::to_string(stage) + runs[i].technique).c_str());
      m_engine->VQuadSetTexCoords(stage + 1, 0, 0, runs[i].uRight, 1);
      Quad(100, 10.0f + 4.0f * float(i), 8, 1);
    }
    const O2DFrameImage frame = EndAndRead();
    for (size_t i = 0; i < std::size(runs); ++i)
      for (uint32_t k = 0; k < 8; ++k)
        EXPECT_TRUE(RGBNear(At(frame, 100 + k, 10 + 4 * uint32_t(i)), runs[i].expected[k], 2))
            << "stage " << stage << " " << runs[i].technique << " pixel " << k;
    m_engine->TexSetNoTexture(stage);
  }
}

// An 8 x 8 checker drawn 3 x 3 (a level of detail of log2(8 / 3) = 1.4): without
// a mip filter the first pixel samples texel (1, 1) of level 0, black; with one,
// level 1, where the box filter made every texel (0 + 255 + 255 + 0) / 4 = 128.
TEST_F(TechniquesPixelTest, MipFilterChoosesASmallerLevel) {
  std::vector<uint32_t> checker(64);
  for (uint32_t i = 0; i < 64; ++i) checker[i] = (i % 8 + i / 8) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  const std::string bmp = Bitmap32(8, 8, checker);
  m_engine->TexSet(m_engine->LoadTexture(bmp.data(), uint32_t(bmp.size()), 3, "TEX_CHECKER", 4, 0, 0), 0);
  m_engine->VQuadSetTexCoords(1, 0, 0, 1, 1);
  const std::string states = "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"TEXTURE\" s0_minfilter=\"POINT\" "
                             "s0_magfilter=\"POINT\" s0_mipfilter=";
  ExpectRow({{states + "\"NONE\"", 0x000000}, {states + "\"LINEAR\"", 0x808080}}, 1, 1, 1, 1, 3);
}

}  // namespace
