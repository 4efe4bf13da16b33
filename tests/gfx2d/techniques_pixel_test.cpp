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

std::string Tech(const std::string& id, const std::string& attributes) {
  return "<t id=\"" + id + "\" " + attributes + "/>";
}
std::string Colour(const std::string& id, const std::string& op, const std::string& arg1, const std::string& arg2) {
  return Tech(id, std::string(kFactor) + "alphablending=\"OFF\" s0_colorop=\"" + op + "\" s0_colorarg1=\"" + arg1 +
                      "\" s0_colorarg2=\"" + arg2 + "\" s1_colorop=\"DISABLE\"");
}
// Source colour and alpha from the diffuse colour.
std::string Blend(const std::string& id, const std::string& on, const std::string& src, const std::string& dest) {
  return Tech(id, "alphablending=\"" + on + "\" absrc=\"" + src + "\" abdest=\"" + dest +
                      "\" s0_colorop=\"SELECTARG1\" s0_colorarg1=\"DIFFUSE\" s0_alphaop=\"SELECTARG1\" "
                      "s0_alphaarg1=\"DIFFUSE\" s1_colorop=\"DISABLE\"");
}

struct Case {
  const char* technique;
  uint32_t expected;
};

class TechniquesPixelTest : public Gfx2DPixelTest {
 protected:
  // One quad per case, each drawn with its technique over B; checks their centres
  // (the first pixel of quads of 4 pixels or less).
  void ExpectRow(const std::vector<Case>& cases, float r, float g, float b, float a, float size = 8) {
    m_engine->SceneBegin();
    m_engine->SceneClearScreen(0.2f, 0.4f, 0.6f);
    for (size_t i = 0; i < cases.size(); ++i) {
      m_engine->TechApplyByStrID(cases[i].technique);
      m_engine->VQuadSetColor(r, g, b, a);
      Quad(10.0f + 20.0f * float(i), 10, size, size);
    }
    const O2DFrameImage frame = EndAndRead();
    const uint32_t centre = size > 4 ? 4 : 0;
    for (size_t i = 0; i < cases.size(); ++i)
      EXPECT_TRUE(RGBNear(At(frame, 10 + centre + 20 * uint32_t(i), 10 + centre), cases[i].expected))
          << cases[i].technique;
  }
};

TEST_F(TechniquesPixelTest, ColourOperationsArgumentsAndTwoStages) {
  Texture("TEX_T", 1, 1, {0xFF4080C0u});
  Techniques(
      Colour("TEQ_MOD", "MODULATE", "TEXTURE", "DIFFUSE") + Colour("TEQ_ADD", "ADD", "TEXTURE", "DIFFUSE") +
      Colour("TEQ_SUB", "SUBTRACT", "TEXTURE", "DIFFUSE") + Colour("TEQ_SUBR", "SUBTRACT", "DIFFUSE", "TEXTURE") +
      Colour("TEQ_SEL1", "SELECTARG1", "TFACTOR", "TEXTURE") + Colour("TEQ_SEL2", "SELECTARG2", "TEXTURE", "DIFFUSE") +
      Colour("TEQ_MODF", "MODULATE", "TFACTOR", "TEXTURE") + Colour("TEQ_DOT", "DOTPRODUCT3", "TFACTOR", "DIFFUSE") +
      Colour("TEQ_OFF", "DISABLE", "TEXTURE", "TEXTURE") +
      Tech("TEQ_TWO",
           std::string(kFactor) +
               "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"TEXTURE\" "
               "s1_colorop=\"SUBTRACT\" s1_colorarg1=\"TFACTOR\" s1_colorarg2=\"CURRENT\" s1_alphaop=\"SELECTARG1\""));
  m_engine->TexSet(0, 0);
  ExpectRow({{"TEQ_MOD", 0x20802F},   // 64 x 127 / 255 = 31.9, 128, 192 x 63 / 255 = 47.4
             {"TEQ_ADD", 0xBFFFFF},   // 191, 383 -> 255, 255
             {"TEQ_SUB", 0x000081},   // 0, 0, 129
             {"TEQ_SUBR", 0x3F7F00},  // 63, 127, 0
             {"TEQ_SEL1", 0xCC9966},  // F
             {"TEQ_SEL2", 0x7FFF3F},  // D
             {"TEQ_MODF", 0x334D4D},  // 51.2, 76.8, 76.8
             {"TEQ_DOT", 0x4C4C4C},   // 4 x (-0.0006 + 0.05 + 0.0253) = 0.2988 -> 76.2
             {"TEQ_OFF", 0x7FFF3F},   // a disabled first stage leaves D
             {"TEQ_TWO", 0x8C1900}},  // F - T = 140, 25, 0
            0.5f, 1.0f, 0.25f, 1.0f);
}

TEST_F(TechniquesPixelTest, AlphaOperationsAndBlendFactors) {
  Texture("TEX_HALF", 1, 1, {0x80FFFFFFu});                  // alpha 128
  std::string packs = Blend("TEQ_OFF", "on", "ONE", "ONE");  // lower case: blending off
  for (const char* op : {"SELECTARG1", "MODULATE", "ADD"})
    packs +=
        Tech(std::string("TEQ_A_") + op,
             std::string("alphablending=\"ON\" absrc=\"SRCALPHA\" abdest=\"INVSRCALPHA\" s0_colorop=\"SELECTARG1\" "
                         "s0_colorarg1=\"DIFFUSE\" s0_alphaop=\"") +
                 op + "\" s0_alphaarg1=\"TEXTURE\" s0_alphaarg2=\"DIFFUSE\"");
  const char* names[] = {"ZERO",      "ONE",          "SRCCOLOR",  "INVSRCCOLOR",  "SRCALPHA",   "INVSRCALPHA",
                         "DESTALPHA", "INVDESTALPHA", "DESTCOLOR", "INVDESTCOLOR", "SRCALPHASAT"};
  for (const char* src : names)
    for (const char* dest : names) packs += Blend(std::string(src) + "/" + dest, "ON", src, dest);
  Techniques(packs);

  // White with alpha A over B: B + (255 - B) x A.
  m_engine->TexSet(0, 0);
  ExpectRow({{"TEQ_A_SELECTARG1", 0x99B3CC},  // A = 128 / 255: 153.4, 178.8, 204.2
             {"TEQ_A_MODULATE", 0x668CB2},    // A = 0.502 x 0.498 = 0.25: 102, 140.3, 178.5
             {"TEQ_A_ADD", 0xFFFFFF}},        // A = 0.502 + 0.498 = 1
            1, 1, 1, 0.5f);
  // S = (255, 127, 0) with A = 127 / 255; the frame has no alpha of its own (reads 1).
  m_engine->TexSetNoTexture(0);
  ExpectRow({{"SRCALPHA/INVSRCALPHA", 0x99724D},     // S x A + B x (1 - A): 152.6, 114.5, 76.8
             {"ZERO/SRCCOLOR", 0x333300},            // B x S: 51, 50.8, 0
             {"ONE/INVSRCCOLOR", 0xFFB299},          // S + B x (1 - S): 255, 178.2, 153
             {"DESTCOLOR/ONE", 0x669999},            // S x B + B: 102, 152.8, 153
             {"INVDESTCOLOR/ZERO", 0xCC4C00},        // S x (1 - B): 204, 76.2, 0
             {"DESTALPHA/ZERO", 0xFF7F00},           // S x 1
             {"INVDESTALPHA/ONE", 0x336699},         // S x 0 + B
             {"SRCALPHASAT/INVSRCALPHA", 0x1A334D},  // min(A, 1 - 1) = 0: B x (1 - A)
             {"TEQ_OFF", 0xFF7F00}},                 // S
            1, 0.5f, 0, 0.5f);
}

TEST_F(TechniquesPixelTest, LinearVertexFogFromTheSpecularAlpha) {
  Techniques(Tech("TEQ_FOG", "fog=\"ON\" fogcolorr=\"1\" s0_colorop=\"SELECTARG1\" s0_colorarg1=\"DIFFUSE\"") +
             Tech("TEQ_NOFOG", "fog=\"OFF\""));
  m_engine->SceneBegin();
  m_engine->SceneClearScreen(0, 0, 0);
  m_engine->TechApplyByStrID("TEQ_FOG");
  m_engine->VQuadSetColor(0, 0, 1, 1);
  // The fog factor is the depth: f = 64 / 255 at 0.25 (0.25 x 255 + 0.5), 191 / 255 at 0.75, 1 at 1.
  const float depths[] = {0.25f, 0.75f, 1.0f, 0.25f};
  for (int i = 0; i < 4; ++i) {
    if (i == 3) m_engine->TechApplyByStrID("TEQ_NOFOG");
    Quad(10.0f + 20 * i, 10, 8, 8, depths[i]);
  }
  const O2DFrameImage frame = EndAndRead();
  EXPECT_TRUE(RGBNear(At(frame, 14, 14), 0xBF0040));  // red 255 x 191 / 255, blue 255 x 64 / 255
  EXPECT_TRUE(RGBNear(At(frame, 34, 14), 0x4000BF));
  EXPECT_TRUE(RGBNear(At(frame, 54, 14), 0x0000FF));
  EXPECT_TRUE(RGBNear(At(frame, 74, 14), 0x0000FF));
}

// A black and a white texel stretched over eight pixels: pixel k samples texel
// coordinate (k + 0.5) / 4 (once over the texture) or / 2 (twice over it).
TEST_F(TechniquesPixelTest, AddressModesAndFiltersOnBothStages) {
  Texture("TEX_BW", 2, 1, {0xFF000000u, 0xFFFFFFFFu});
  std::string packs;
  for (std::string address : {"WRAP", "CLAMP"})
    for (std::string filter : {"POINT", "LINEAR"}) {
      const std::string states = "s0_minfilter=\"" + filter + "\" s0_magfilter=\"" + filter + "\" s1_minfilter=\"" +
                                 filter + "\" s1_magfilter=\"" + filter + "\" s0_address=\"" + address +
                                 "\" s1_address=\"" + address + "\" ";
      packs += Tech("S0" + address + filter, states +
                                                 "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"TEXTURE\" "
                                                 "s1_colorop=\"DISABLE\"");
      packs += Tech("S1" + address + filter, states +
                                                 "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"DIFFUSE\" "
                                                 "s1_colorop=\"SELECTARG1\" s1_colorarg1=\"TEXTURE\"");
    }
  Techniques(packs);
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
      {"CLAMPPOINT", 1, {B, B, B, B, W, W, W, W}},
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
            << "stage " << stage << " " << runs[i].technique << " " << runs[i].uRight << " pixel " << k;
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
  for (std::string mip : {"NONE", "POINT", "LINEAR"})
    Techniques(Tech("MIP" + mip,
                    "s0_colorop=\"SELECTARG1\" s0_colorarg1=\"TEXTURE\" s0_minfilter=\"POINT\" "
                    "s0_magfilter=\"POINT\" s0_mipfilter=\"" +
                        mip + "\""));
  m_engine->VQuadSetTexCoords(1, 0, 0, 1, 1);
  ExpectRow({{"MIPNONE", 0x000000}, {"MIPPOINT", 0x808080}, {"MIPLINEAR", 0x808080}}, 1, 1, 1, 1, 3);
}

TEST_F(TechniquesPixelTest, Dot3AndVertexLighting) {
  Texture("TEX_NORMAL", 1, 1, {0xFFFF8080u});  // (255, 128, 128): pointing along x
  Techniques(Tech("TEQ_DIR", "dynlightmode=\"DOT3\" s0_colorop=\"SELECTARG1\" s0_colorarg1=\"SPECULAR\"") +
             Tech("TEQ_BUMP",
                  "dynlightmode=\"DOT3\" s0_colorop=\"DOTPRODUCT3\" s0_colorarg1=\"TEXTURE\" "
                  "s0_colorarg2=\"SPECULAR\"") +
             Tech("TEQ_LIT",
                  "dynlightmode=\"VERTEX\" dynlightambientcolorr=\"0.2\" dynlightambientcolorg=\"0.2\" "
                  "dynlightambientcolorb=\"0.2\" s0_colorop=\"SELECTARG1\" s0_colorarg1=\"DIFFUSE\""));
  Light sun;  // reaches nothing in vertex mode: no radius
  sun.afPosition[0] = 60000, sun.afPosition[1] = 80000, sun.afPosition[2] = 0.5f;
  m_engine->LightSetDot3(m_engine->LightAdd(sun));
  Light lamp;
  lamp.afPosition[0] = 54, lamp.afPosition[1] = 14, lamp.afPosition[2] = 0.5f;
  lamp.fInnerRadius = 20, lamp.fOuterRadius = 40, lamp.afColor[0] = 0.4f;
  m_engine->LightAdd(lamp);

  m_engine->SceneBegin();
  m_engine->TexSet(0, 0);
  const char* techniques[] = {"TEQ_DIR", "TEQ_BUMP", "TEQ_LIT"};
  for (int i = 0; i < 3; ++i) {
    m_engine->TechApplyByStrID(techniques[i]);
    m_engine->VQuadSetColor(1, 1, 1, 1);
    Quad(10.0f + 20 * i, 10, 8, 8);
  }
  const O2DFrameImage frame = EndAndRead();
  // The direction (0.6, 0.8, 0) as a colour: 0.6 x 127 + 128, 0.8 x 127 + 128, 128.
  EXPECT_TRUE(RGBNear(At(frame, 14, 14), 0xCCE580));
  // 4 x (0.502 x 0.3 + 0.002 x 0.398 + 0.002 x 0.002) = 0.603 -> 153.8 in every channel.
  EXPECT_TRUE(RGBNear(At(frame, 34, 14), 0x9A9A9A));
  // Ambient 0.2 plus the lamp's 0.4 in red at every corner: 153, 51, 51.
  EXPECT_TRUE(RGBNear(At(frame, 54, 14), 0x993333));
}

}  // namespace
