// The texture, technique and font demands: a load on first use, the exact
// messages when the item is still missing.
#include "costrak_utils_demand.h"
#include "gfx2d_fixture.h"

namespace {

TEST_F(Gfx2DTest, DemandsLoadWhatIsMissingOnceAndNameWhatCannotBeFound) {
  WriteFileBytes("DATA/a.bmp", Bitmap32(1, 1, {0xFF102030u}));
  WriteFileBytes("DATA/teq.pack", "<techniquespack><t id=\"TEQ_A\"/><t id=\"TEQ_B\"/></techniquespack>");
  WriteFileBytes("DATA/font.fnt", FontXML("FNT_A", "TEX_A", "TEQ_A", "TEQ_PACK"));
  Start(Res("TEX_A", "a.bmp", "TEXTURE") + Res("TEQ_PACK", "teq.pack", "TECHNIQUE") + Res("FNT_A", "font.fnt", "FONT") +
        Res("FNT_B", "font.fnt", "FONT"));

  EXPECT_EQ(O2DUTIL_DemandTexture("TEX_A"), 0);
  const std::string logged = GameLog();
  EXPECT_EQ(LogCount("Cannot find iID of texture with strID = TEX_A\n"), 1u);
  EXPECT_EQ(O2DUTIL_DemandTexture("TEX_A"), 0);
  EXPECT_EQ(GameLog(), logged);  // found: nothing loaded, nothing logged
  EXPECT_EQ(Raised([] { O2DUTIL_DemandTexture("TEX_NONE"); }), "2 0: Invalid texture demand. ID = TEX_NONE");

  EXPECT_EQ(O2DUTIL_DemandTechnique("TEQ_B", "TEQ_PACK"), 1);
  EXPECT_EQ(O2DUTIL_DemandTechnique("TEQ_A", "TEQ_PACK"), 0);
  // The pack is loaded again for a technique it does not declare.
  EXPECT_EQ(Raised([] { O2DUTIL_DemandTechnique("TEQ_C", "TEQ_PACK"); }),
            "2 0: Invalid technique demand. ID = TEQ_C  TechPackID = TEQ_PACK");
  EXPECT_EQ(LogCount("Processing techniques pack...\n"), 2u);

  EXPECT_EQ(O2DUTIL_DemandFont("FNT_A"), 0);
  // A font resource that declares another ID makes no font of its own ID.
  EXPECT_EQ(Raised([] { O2DUTIL_DemandFont("FNT_B"); }), "2 0: Invalid font demand. ID = FNT_B");
}

}  // namespace
