// Demands, the engine without a sound card, and resources read from a pack.
#include "costrak_res_pack.h"
#include "costrak_utils_demand.h"
#include "sound_fixture.h"

namespace {

TEST_F(SoundTest, DemandLoadsAMissingItemOnceAndRefusesAnUnknownID) {
  WriteFileBytes("DATA/list.pls", "<playlist id=\"PL_X\" tag=\"2\"><m id=\"MUS_A\"/></playlist>");
  Start(Res("SND_A", "a.wav", "SOUND") + Res("MUS_A", "a.wav", "MUSIC") + Res("PL_X", "list.pls", "PLAYLIST"));
  const int32_t sound = O2DUTIL_DemandSound("SND_A");
  EXPECT_EQ(O2DUTIL_DemandSound("SND_A"), sound);
  EXPECT_EQ(LogCount("Loading sound: SND_A\n"), 1u);
  const int32_t playlist = O2DUTIL_DemandPlaylist("PL_X");  // loads its music too
  EXPECT_EQ(O2DUTIL_DemandMusic("MUS_A"), 0);
  EXPECT_EQ(O2DUTIL_DemandPlaylist("PL_X"), playlist);
  EXPECT_EQ(LogCount("Loading music: MUS_A\n"), 1u);

  EXPECT_EQ(Raised([] { O2DUTIL_DemandSound("SND_NONE"); }), "2 0: Invalid sound demand. ID = SND_NONE");
  EXPECT_TRUE(LogHas(" !: Cannot find resource with ID = SND_NONE\n"));
  EXPECT_EQ(Raised([] { O2DUTIL_DemandMusic("MUS_NONE"); }), "2 0: Invalid music demand. ID = MUS_NONE");
  EXPECT_EQ(Raised([] { O2DUTIL_DemandPlaylist("PL_NONE"); }), "2 0: Invalid playlist demand. ID = PL_NONE");
}

TEST_F(SoundTest, WithoutASoundCardNothingLoadsOrPlaysAndTheGameGoesOn) {
  Start(Res("SND_A", "a.wav", "SOUND") + Res("MUS_A", "a.wav", "MUSIC"), "no-such-driver");

  EXPECT_FALSE(m_engine->SoundIsAvailable());
  EXPECT_EQ(m_engine->LoadSound("./DATA/a.wav", "SND_A", 1, false, 1, false, 0, 0), -2);
  // Sounds and music named by the data are demanded as usual and stay silent.
  EXPECT_EQ(O2DUTIL_DemandSound("SND_A"), -2);
  EXPECT_EQ(O2DUTIL_DemandMusic("MUS_A"), -2);
  m_engine->SoundPlay(-2, false, -1, -1, -101);
  m_engine->MusicPlayByStrID("MUS_A", true, 3000);
  m_engine->PlaylistSet(5);
  Frame();
  EXPECT_EQ(m_engine->SoundGetStatus(-2) + m_engine->MusicGetStatus(), 0);
  m_engine->Cleanup();
}

TEST_F(SoundTest, ModuleSoundAndPlaylistPlayFromAPack) {
  const std::string wav = ReadFileBytes("DATA/a.wav");
  std::string playlist = "<playlist id=\"PL_MOD\" tag=\"3\"><m id=\"MUS_MOD\"/></playlist>";
  XML_TransformBytes(playlist.data(), playlist.size());  // XML is stored transformed in packs
  std::vector<O2DPackEntry> entries = {{"SND_P", "SOUND", 0, 0, 1, 0, 3, 0},
                                       {"MUS_MOD", "MUSIC", 0, 0, 1, 1, 0, 0},
                                       {"PL_MOD", "PLAYLIST", 0, 0, 1}};
  ASSERT_TRUE(RES_WritePack("DATA/game.pak", entries, {wav, MakeModule(40), playlist}));
  Start("");
  m_engine->LoadResources(1);
  m_engine->PlaylistSetByStrID("PL_MOD");
  Frame();
  EXPECT_EQ(m_engine->MusicGetCurrent(), m_engine->GetMusicIID("MUS_MOD"));
  EXPECT_GT(Peak(Side(Render(100), 0)), 1000);
  EXPECT_GT(m_engine->MusicGetLevelRight(), 0.0f);
  m_engine->MusicSetVolume(0, 0);
  m_engine->SoundPlayByStrID("SND_P", false, -1, -1, -101);
  EXPECT_NEAR(Peak(Side(Render(50), 0)), 32767, 2);
}

}  // namespace
