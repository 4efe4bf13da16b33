// Dynamic lights on the recording device: vertex lighting over the ambient
// colour, the radii and the depth scale, saturation, and Dot3 directions.
#include "gfx2d_fixture.h"

namespace {

Light PointLight(float x, float y, float z, float inner, float outer, float r, float g, float b) {
  Light light;
  light.afPosition[0] = x, light.afPosition[1] = y, light.afPosition[2] = z;
  light.fInnerRadius = inner;
  light.fOuterRadius = outer;
  light.afColor[0] = r, light.afColor[1] = g, light.afColor[2] = b;
  light.fAlpha = 1.0f;
  return light;
}

class LightsTest : public Gfx2DTest {
 protected:
  // Corners at the given points (depth 0.5), colour white with alpha 0.5; the
  // diffuse and specular colours the batch received.
  std::vector<QuadVertex> Render(const float (&corners)[4][2]) {
    m_engine->VQuadSetColor(1, 1, 1, 0.5f);
    for (int k = 0; k < 4; ++k) m_engine->VQuadSetPosByVertex(k, corners[k][0], corners[k][1], 0.5f);
    m_engine->SceneBegin();
    m_engine->SceneRender();
    m_engine->SceneEnd();
    return LastDraw().Vertices;
  }
};

constexpr float kSquare[4][2] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};

TEST_F(LightsTest, VertexModeAmbientRadiiDepthAndSaturation) {
  Start();
  Techniques(*m_engine, "<t id=\"TEQ_LIT\" dynlightmode=\"VERTEX\" dynlightambientcolorr=\"0.2\" "
                        "dynlightambientcolorg=\"0.4\"/><t id=\"TEQ_DARK\" dynlightmode=\"VERTEX\"/>");
  m_engine->TechApply(0);
  // No lights: the ambient colour (rounded, not truncated) with each corner's own alpha.
  for (const QuadVertex& v : Render(kSquare)) EXPECT_EQ(v.diffuse, 0x80336600u);

  m_engine->TechApply(1);
  m_engine->LightAdd(PointLight(0, 0, 0.5f, 10, 30, 1, 0, 0));
  const float ring[4][2] = {{10, 0}, {30, 0}, {20, 0}, {0, 40}};
  const auto lit = Render(ring);
  EXPECT_EQ(lit[0].diffuse, 0x80FF0000u);  // at the inner radius: full
  EXPECT_EQ(lit[1].diffuse, 0x80000000u);  // at the outer radius: nothing
  EXPECT_EQ(lit[2].diffuse, 0x80800000u);  // half way: 0.5

  // Depth counts (800 + 600) / 2 = 700 pixels per unit: 0.125 above is 87.5 away.
  m_engine->LightSet(0, PointLight(0, 0, 0.625f, 77.5f, 97.5f, 0, 1, 0));
  EXPECT_EQ(Render(kSquare)[0].diffuse, 0x80008000u);
  // Sums saturate; a disabled light and a light without fall-off beyond its inner radius add nothing.
  m_engine->LightSet(0, PointLight(0, 0, 0.5f, 100, 200, 0.8f, 0.8f, 0.8f));
  m_engine->LightAdd(PointLight(0, 0, 0.5f, 100, 200, 0.8f, 0.1f, 0), 3);
  Light off = PointLight(0, 0, 0.5f, 100, 200, 0, 0, 1);
  off.bEnabled = false;
  m_engine->LightAdd(off);
  m_engine->LightAdd(PointLight(0, 0, 0.5f, 1, 1, 0, 0, 1));
  EXPECT_EQ(Render(kSquare)[2].diffuse, 0x80FFE6CCu);  // 1.6, 0.9, 0.8

  m_engine->LightRemove(0);
  EXPECT_EQ(Render(kSquare)[2].diffuse, 0x80CC1A00u);  // 0.8, 0.1, 0
  EXPECT_EQ(Raised([&] { m_engine->LightRemove(0); }), "2 0: Invalid light ID! ID = 0");
}

TEST_F(LightsTest, Dot3DirectionTowardsTheChosenLight) {
  Start();
  m_engine->LightSetMode(2);
  EXPECT_EQ(Raised([&] { Render(kSquare); }), "1 0: Wrong Dot3 light specified!");  // no lights yet
  m_engine->SceneEnd();
  m_engine->LightAdd(PointLight(0, 0, 0.5f, 0, 0, 0, 0, 0));
  const int32_t far = m_engine->LightAdd(PointLight(60000, 80000, 0.5f, 0, 0, 0, 0, 0));
  m_engine->LightSetDot3(far);
  // Towards (0.6, 0.8, 0): x 0.6 x 127 + 128, y 0.8 x 127 + 128, z 128.
  for (const QuadVertex& v : Render(kSquare)) EXPECT_EQ(v.specular, 0xFFCCE580u);
}

}  // namespace
