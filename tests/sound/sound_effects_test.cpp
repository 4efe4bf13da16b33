// Starting and stopping the output, and sound effects played through the engine.
#include "costrak_utils_csmartid.h"
#include "sound_fixture.h"

namespace {

TEST_F(SoundTest, StopComesBeforeResourcesAndStartRefusesBeforeGraphics) {
  Start("");
  m_engine->Cleanup();
  EXPECT_FALSE(m_engine->m_bSfxReady);
  // Sound stops before the resources it was loaded from.
  const std::string log = GameLog();
  EXPECT_LT(log.find("Deinitializing Sound and Music Subsystem..."), log.find("Deinitializing Resources Subsystem..."));

  COstrak early;
  EXPECT_EQ(Raised([&] { early.SoundInit(kRate); }),
            "2 0: Sound and Music system should be initialized after graphics system!");
  // A rate that neither the device nor the silent one takes.
  early.m_bGfxReady = 1;
  early.CreateGameWindow(800, 600, true);
  early.SoundSelectDevice(O2DAUDIO_DEVICE_RENDER);
  EXPECT_EQ(Raised([&] { early.SoundInit(1000); }),
            "1 " + std::to_string(O2DAUDIO_ERROR_ILLPARAM) + ": Cannot initialize BASS library!");
  EXPECT_TRUE(LogHas(" !: No sound card available!\n"));
}

TEST_F(SoundTest, ThirdPlayTakesOverTheOldestOrFailsWithNoOverride) {
  Start(Res("SND_OVER", "a.wav", "SOUND", 1, 0, 2, 0) + Res("SND_STRICT", "a.wav", "SOUND", 1, 0, 2, 1));
  m_engine->LoadResources(1);
  for (int pan : {-100, 100, 100}) m_engine->SoundPlayByStrID("SND_OVER", false, -1, -1, pan);
  const Pcm out = Render(50);
  EXPECT_EQ(Peak(Side(out, 0)), 0);  // the left one was taken over
  EXPECT_GT(Peak(Side(out, 1)), 30000);

  m_engine->SoundPlayByStrID("SND_STRICT", false, -1, -1, -101);
  m_engine->SoundPlayByStrID("SND_STRICT", false, -1, -1, -101);
  EXPECT_EQ(Raised([&] { m_engine->SoundPlayByStrID("SND_STRICT", false, -1, -1, -101); }),
            "1 " + std::to_string(O2DAUDIO_ERROR_NOCHAN) + ": Cannot playback sample!");
}

TEST_F(SoundTest, PauseMarkSurvivesStopAndResumeClearsIt) {
  Start(Res("SND_A", "a.wav", "SOUND"));
  m_engine->LoadResource("SND_A");
  m_engine->SoundPlay(0, true, -1, -1, -101);
  m_engine->SoundPause(0);
  EXPECT_EQ(Peak(Side(Render(20), 0)), 0);
  // Pause, stop, play: the mark stayed, so the next pause does nothing.
  m_engine->SoundStop(0);
  m_engine->SoundPlay(0, true, -1, -1, -101);
  m_engine->SoundPause(0);
  EXPECT_GT(Peak(Side(Render(20), 0)), 30000);
  m_engine->SoundResume(0);
  m_engine->SoundPause(0);
  EXPECT_EQ(m_engine->SoundGetStatus(0), O2DAUDIO_PAUSED);
}

TEST_F(SoundTest, StreamKeepsItsAttributesUnlessThePlayGivesNewOnes) {
  Start(Res("SND_S", "a.wav", "SOUND", 1, 1, 0, 2));  // a stream with one playback
  m_engine->LoadResource("SND_S");
  m_engine->SoundSetAttributesByStrID("SND_S", -1, 30, -101);
  m_engine->SoundPlayByStrID("SND_S", false, -1, -1, -101);
  EXPECT_NEAR(Peak(Side(Render(50), 0)), 9830, 100);
  m_engine->SoundPlayByStrID("SND_S", false, -1, 60, -101);
  EXPECT_NEAR(Peak(Side(Render(50), 0)), 19660, 200);

  // Effects volume 50 (streams are effects), music volume 80.
  m_engine->SoundSetGlobalVolumes(50, 80);
  m_engine->SoundPlayByStrID("SND_S", false, -1, 100, -101);
  EXPECT_NEAR(Peak(Side(Render(50), 0)), 16384, 200);
}

TEST_F(SoundTest, GatesIdsAndUnloading) {
  WriteFileBytes("DATA/bad.wav", std::string(3000, 'x'));
  Start(Res("SND_A", "a.wav", "SOUND") + Res("SND_BAD", "bad.wav", "SOUND") + Res("SND_BADS", "bad.wav", "SOUND", 1, 1));
  CSmartID sid("SND_A");
  m_engine->LoadResource("SND_A");
  ASSERT_EQ(sid.GetID(), 0);

  m_engine->SoundPlay(sid, true, -1, -1, -101);
  Focus(false);  // in the background the output holds and nothing changes
  EXPECT_EQ(Peak(Side(Render(20), 0)), 0);
  m_engine->SoundStop(sid);
  EXPECT_EQ(m_engine->SoundGetStatus(sid), O2DAUDIO_PLAYING);
  Focus(true);
  EXPECT_GT(Peak(Side(Render(20), 0)), 30000);

  EXPECT_EQ(Raised([&] { m_engine->SoundPlay(7, false, -1, -1, -101); }), "2 0: Invalid sound ID: 7");
  EXPECT_EQ(Raised([&] { m_engine->SoundStopByStrID("SND_NONE"); }), "2 0: Invalid sound ID: -1");
  EXPECT_EQ(Raised([&] { m_engine->LoadResource("SND_BAD"); }),
            "1 " + std::to_string(O2DAUDIO_ERROR_FILEFORM) + ": Cannot load sample!");
  EXPECT_EQ(Raised([&] { m_engine->LoadResource("SND_BADS"); }),
            "1 " + std::to_string(O2DAUDIO_ERROR_FILEFORM) + ": Cannot create stream!");

  m_engine->UnloadSoundByStrID("SND_A");
  EXPECT_EQ(sid.GetID(), -1);
}

}  // namespace
