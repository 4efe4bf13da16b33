// Techniques on the recording device: what each group sets, what stays, the
// keyword tables, duplicates and errors.
#include "gfx2d_fixture.h"

namespace {

class TechniquesTest : public Gfx2DTest {
 protected:
  uint32_t RS(uint32_t state) const { return m_device->RenderState(state); }
  uint32_t TS(uint32_t stage, uint32_t type) const { return m_device->StageState(stage, type); }
};

// The pixel tests show each keyword's effect; here what no pixel shows.
TEST_F(TechniquesTest, FogRangeMipFiltersAndColourPacking) {
  Start();
  Techniques(*m_engine,
      "<t id=\"TEQ_ALL\" fog=\"ON\" fogstart=\"0.25\" fogend=\" 2.5e1xyz\" fogcolorr=\"1\" fogcolorg=\"0.5\" "
      "texturefactorr=\"0.2\" texturefactorg=\"0.4\" texturefactorb=\"0.6\" texturefactora=\"0.5\" "
      "s0_minfilter=\"LINEAR\" s0_mipfilter=\"POINT\" s1_mipfilter=\"LINEAR\" dynlightmode=\"DOT3\"/>");
  m_engine->TechApply(0);
  EXPECT_EQ(std::tuple(RS(D3DRS_FOGVERTEXMODE), RS(D3DRS_FOGSTART), RS(D3DRS_FOGEND)),
            std::tuple(uint32_t(D3DFOG_LINEAR), O2DFloatBits(0.25f), O2DFloatBits(25.0f)));
  // Colour and alpha 127.5 are truncated.
  EXPECT_EQ(std::pair(RS(D3DRS_FOGCOLOR), RS(D3DRS_TEXTUREFACTOR)), std::pair(0xFFFF7F00u, 0x7F336699u));
  EXPECT_EQ(std::tuple(TS(0, D3DTSS_MIPFILTER), TS(1, D3DTSS_MIPFILTER), m_engine->LightGetMode()),
            std::tuple(uint32_t(D3DTEXF_POINT), uint32_t(D3DTEXF_LINEAR), 2u));
}

TEST_F(TechniquesTest, GroupsStayAndADisabledSecondStageKeepsItsStates) {
  Start();
  Techniques(*m_engine,
      "<t id=\"TEQ_BLEND\" alphablending=\"ON\" s0_colorop=\"MODULATE\" s1_colorop=\"MODULATE\" "
      "s1_colorarg2=\"TFACTOR\" s1_address=\"CLAMP\"/>"
      "<t id=\"TEQ_FACTOR\" texturefactorr=\"1\"/>"
      "<t id=\"TEQ_S1OFF\" s0_colorop=\"SELECTARG1\" s1_colorop=\"DISABLE\" s1_colorarg2=\"DIFFUSE\"/>");
  m_engine->TechApply(0);
  m_device->ClearCalls();
  m_engine->TechApplyByStrID("TEQ_FACTOR");
  ASSERT_EQ(m_device->Calls().size(), 1u);  // the texture factor, nothing else
  EXPECT_EQ(RS(D3DRS_ALPHABLENDENABLE), 1u);

  m_device->ClearCalls();
  m_engine->TechApplyByStrID("TEQ_S1OFF");
  std::vector<uint32_t> stage1;
  for (const auto* s : m_device->CallsOf<O2DRecSetStageState>())
    if (s->Stage == 1) stage1.push_back(s->Type);
  EXPECT_EQ(stage1, std::vector<uint32_t>{D3DTSS_COLOROP});
  EXPECT_EQ(TS(1, D3DTSS_COLORARG2), D3DTA_TFACTOR);
  EXPECT_EQ(TS(1, D3DTSS_ADDRESSU), D3DTADDRESS_CLAMP);
}

TEST_F(TechniquesTest, TheCurrentTechniqueAgainNeitherFlushesNorSetsAndInvalidIDsAreRefused) {
  Start();
  Techniques(*m_engine, "<t id=\"TEQ_A\" fog=\"ON\"/><t id=\"TEQ_B\" fog=\"OFF\"/>");
  m_engine->SceneBegin();
  m_engine->TechApply(0);
  m_engine->VQuadSetPos(0, 0, 2, 2);
  m_engine->SceneRender();
  m_device->ClearCalls();
  m_engine->TechApplyByStrID("TEQ_A");
  EXPECT_TRUE(m_device->Calls().empty());
  m_engine->TechApply(1);
  EXPECT_EQ(Draws(), 1u);
  m_engine->SceneEnd();
  EXPECT_EQ(Raised([&] { m_engine->TechApplyByStrID("TEQ_NONE"); }), "2 0: Invalid technique ID! ID = -1");
  EXPECT_EQ(Raised([&] { m_engine->TechApply(2); }), "2 0: Invalid technique ID! ID = 2");
}

TEST_F(TechniquesTest, PacksKeepTheFirstOfTwoIDs) {
  Start();
  EXPECT_EQ(Techniques(*m_engine, "<t id=\"TEQ_A\" fog=\"ON\"/><u id=\"TEQ_A\" fog=\"OFF\"/><v id=\"TEQ_C\"/>"), 2);
  EXPECT_TRUE(m_engine->TechGet(0)->bFogEnable);
  EXPECT_EQ(m_engine->GetTechniqueIID("TEQ_C"), 1);
  EXPECT_EQ(Raised([&] { Techniques(*m_engine, "<t id=\"TEQ_X\"/><t fog=\"ON\"/>"); }), "1 0: Ivanlid technique ID!");
  EXPECT_EQ(m_engine->GetTechniqueIID("TEQ_X"), 2);  // the one before the faulty child stays
}

}  // namespace
