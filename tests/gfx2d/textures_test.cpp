// Textures on the recording device: reuse and unloading, size and format choice,
// stage bindings and the flushes they cause.
#include <tuple>

#include "costrak_res_decode_ahead.h"
#include "costrak_utils_csmartid.h"
#include "gfx2d_fixture.h"

namespace {

class TexturesTest : public Gfx2DTest {
 protected:
  void SetUp() override {
    Gfx2DTest::SetUp();
    WriteFileBytes("DATA/a.bmp", Bitmap32(4, 4, std::vector<uint32_t>(16, 0xFF102030u)));
    WriteFileBytes("DATA/b.bmp", Bitmap32(2, 2, std::vector<uint32_t>(4, 0xFF00FF00u)));
  }
  std::vector<const O2DRecCreateTexture*> Created() const { return m_device->CallsOf<O2DRecCreateTexture>(); }
  void QueueQuad() {
    m_engine->VQuadSetPos(0, 0, 4, 4);
    m_engine->SceneRender();
  }
};

// A texture reloaded into the slot of an unloaded one has the same ID: the stage
// must be bound again, and quads queued with the old texture drawn before it goes.
TEST_F(TexturesTest, ReuseByStringIDAndUnloadingABoundTextureThenReusingItsSlot) {
  CSmartID a("TEX_A"), b("TEX_B");
  Start(Res("TEX_A", "a.bmp", "TEXTURE") + Res("TEX_B", "b.bmp", "TEXTURE", 4));
  m_engine->LoadResource("TEX_A");
  m_engine->LoadResource("TEX_A");  // the same string ID: nothing decoded
  EXPECT_EQ(std::pair(a.GetID(), Created().size()), std::pair(0, size_t{1}));
  m_engine->SceneBegin();
  m_engine->TexSet(0, 0);
  QueueQuad();
  m_engine->UnloadTexture(0);
  EXPECT_EQ(std::tuple(Draws(), a.GetID(), m_device->LiveTextureCount()), std::tuple(1u, -1, 0u));
  m_engine->UnloadTexture(0);
  EXPECT_EQ(LogCount("\n   =: Unloading texture, iID = 0\n !: Failed.\n"), 1u);
  EXPECT_EQ(m_engine->GetTextureIID(""), -1);  // a freed slot matches no string ID, not even the empty one

  m_engine->LoadResources(4);  // TEX_B takes the freed slot
  EXPECT_EQ(b.GetID(), 0);
  m_engine->TexSet(0, 0);
  EXPECT_EQ(m_device->BoundTexture(0), m_engine->TexGet(0));
  m_engine->SceneEnd();
  m_engine->UnloadTextureByStrID("TEX_B");
  EXPECT_EQ(b.GetID(), -1);
}

TEST_F(TexturesTest, SizeClampFormatSlotsMipLevelsAndUndecodableImages) {
  WriteFileBytes("DATA/junk.png", "\x89PNG\r\n\x1a\n but nothing more");
  Start(Res("TEX_BIG", "a.bmp", "TEXTURE", 1, 3, 3, 4096) + Res("TEX_SLOT7", "a.bmp", "TEXTURE", 1, 7, 0, 0) +
        Res("TEX_OWN", "b.bmp", "TEXTURE", 1, 4, -2, -5) + Res("TEX_JUNK", "junk.png", "TEXTURE", 2));
  VideoCaps caps;
  m_engine->GfxGetCaps(caps);
  ASSERT_NE(caps.DisplayMode2.TextureFormat01, caps.DisplayMode2.TextureFormat03);
  m_engine->LoadResources(1);
  const auto created = Created();
  ASSERT_EQ(created.size(), 3u);
  // 4096 is more than the adapter's 2048.
  EXPECT_EQ(std::tuple(created[0]->Width, created[0]->Height, created[0]->Levels, created[0]->Format),
            std::tuple(2048u, 2048u, 3u, caps.DisplayMode2.TextureFormat03));
  // Slot 7 acts as slot 1; no mip count means one level; negative size and mip count: the image as it is.
  EXPECT_EQ(std::tuple(created[1]->Width, created[1]->Levels, created[1]->Format),
            std::tuple(4u, 1u, caps.DisplayMode2.TextureFormat01));
  EXPECT_EQ(std::tuple(created[2]->Width, created[2]->Levels, created[2]->Format),
            std::tuple(2u, 1u, caps.DisplayMode2.TextureFormat04));
  EXPECT_EQ(Raised([&] { m_engine->LoadResource("TEX_JUNK"); }), "1 0: Cannot create texture object!");
  m_device->Fail.CreateTexture = true;  // decoded, but the device refuses
  const std::string bmp = Bitmap32(1, 1, {0});
  EXPECT_EQ(Raised([&] { m_engine->LoadTexture(bmp.data(), uint32_t(bmp.size()), 1, "TEX_X", 1, 0, 0); }),
            "1 0: Cannot create texture object!");
}

TEST_F(TexturesTest, TexSetFlushesOnlyOnARealChangeAndRefusesBadIDsAndStages) {
  CSmartID b("TEX_B");
  Start(Res("TEX_A", "a.bmp", "TEXTURE") + Res("TEX_B", "b.bmp", "TEXTURE"));
  m_engine->LoadResources(1);
  m_engine->SceneBegin();
  QueueQuad();
  m_engine->TexSet(0, 0);
  EXPECT_EQ(Draws(), 1u);
  QueueQuad();
  m_device->ClearCalls();
  m_engine->TexSetByStrID("TEX_A", 0);  // already bound: no flush, no device call
  EXPECT_TRUE(m_device->Calls().empty());
  m_engine->TexSet(b, 1);
  EXPECT_EQ(Draws(), 1u);
  EXPECT_EQ(m_device->BoundTexture(1), m_engine->TexGet(1));
  QueueQuad();
  m_engine->TexSetNoTexture(1);
  EXPECT_EQ(Draws(), 2u);

  // Invalid IDs are refused, also on a stage that holds nothing; so are stages past 7.
  EXPECT_EQ(Raised([&] { m_engine->TexSetByStrID("TEX_NONE", 2); }), "1 0: Cannot set texture - invalid ID!");
  EXPECT_EQ(Raised([&] { m_engine->TexSet(0, 8); }), "2 0: Cannot set texture - invalid stage number: 8");
  m_engine->SceneEnd();
}

}  // namespace

// The start-up's second thread, once started, decodes registered images ahead and, once told
// what texture each becomes, makes them: each is taken once, the same as loading
// the file (at its offset in a pack). An image it could not read or decode, an ID
// it was not given, and a texture made for another request are left to the loader.
class DecodeAheadTest : public TempDirTest {};

TEST_F(DecodeAheadTest, HandsEachTextureOverOnceAndLeavesFailuresToTheLoader) {
  const std::string a = Bitmap32(4, 4, std::vector<uint32_t>(16, 0xFF102030u));
  const std::string b = Bitmap32(2, 2, {1, 2, 3, 4});
  WriteFileBytes("a.bmp", a);
  WriteFileBytes("pack", "head" + b + "tail");
  WriteFileBytes("junk.png", "\x89PNG\r\n\x1a\n but nothing more");
  const O2DTextureRequest plain{O2DIMG_DEFAULT, O2DIMG_DEFAULT, 1, D3DFMT_A8R8G8B8, 0};
  const O2DTextureRequest small{2, 2, 2, D3DFMT_A4R4G4B4, 0};
  auto loaded = [](const std::string& bytes, const O2DTextureRequest& r) {
    O2DImageTexture t;
    EXPECT_TRUE(O2D_LoadImageTexture(bytes.data(), bytes.size(), r.width, r.height, r.levels, r.format, t, r.maxSide));
    return std::tuple(t.width, t.height, t.levels, t.format, t.pixels);
  };
  for (const bool makeAhead : {false, true}) {
    SCOPED_TRACE(makeAhead ? "made ahead" : "decoded ahead");
    CO2DDecodeAhead ahead({{"A", "a.bmp", 0, uint32_t(a.size()), 2},
                           {"JUNK", "junk.png", 0, 20},
                           {"B", "pack", 4, uint32_t(b.size()), 3},
                           {"CUT", "pack", 4, uint32_t(b.size() + 5)},
                           {"GONE", "missing.bmp", 0, 10}});
    ahead.Start();
    ahead.WaitForThread();
    if (makeAhead) {
      ahead.MakeAhead([&](const CO2DDecodeAhead::Job& job) { return job.formatSlot == 2 ? small : plain; });
      ahead.WaitForThread();
    }
    for (const auto& [id, bytes, request] : {std::tuple("A", a, small), std::tuple("B", b, plain)}) {
      O2DImageTexture taken;
      EXPECT_TRUE(ahead.Take(id, request, taken)) << id;
      EXPECT_EQ(std::tuple(taken.width, taken.height, taken.levels, taken.format, taken.pixels), loaded(bytes, request));
      EXPECT_FALSE(ahead.Take(id, request, taken)) << id;
    }
    O2DImageTexture none;
    for (const char* id : {"JUNK", "CUT", "GONE", "NEVER"}) EXPECT_FALSE(ahead.Take(id, plain, none)) << id;
  }
  // Not started yet, or made for another request than the loader's: the loader starts from the file.
  O2DImageTexture taken;
  CO2DDecodeAhead idle({{"A", "a.bmp", 0, uint32_t(a.size())}});
  EXPECT_FALSE(idle.Take("A", plain, taken));
  CO2DDecodeAhead ahead({{"A", "a.bmp", 0, uint32_t(a.size())}});
  ahead.MakeAhead([&](const CO2DDecodeAhead::Job&) { return small; });
  ahead.Start();
  ahead.Start();
  ahead.WaitForThread();
  EXPECT_FALSE(ahead.Take("A", plain, taken));
}
