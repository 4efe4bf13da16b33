// Loading from file ranges, bad data, streams and module music. Sound files as
// music, and the engine without a sound card, are measured by the sound tests.
#include <filesystem>

#include "audio_test_util.h"

namespace {

using AudioLoadTest = AudioTest;

TEST_F(AudioLoadTest, SoundsAndMusicReadFromARangeInsideABiggerFile) {
  const std::string wav = WriteWav("a.wav", 44100, 1, SquareWave(44100, 100.0, 0.2));
  const std::string mod = MakeModule(3);
  const std::string head(777, 'x');
  WriteFileBytes("pack.bin", head + wav + "between" + mod + std::string(100, 'y'));
  const uint64_t wavAt = head.size(), modAt = head.size() + wav.size() + 7;

  O2DHANDLE s = m_audio.SampleLoad("pack.bin", wavAt, wav.size(), 1, 0);
  ASSERT_NE(s, 0u) << m_audio.ErrorGetCode();
  ASSERT_NE(m_audio.StreamCreateFile("pack.bin", wavAt, wav.size()), 0u) << m_audio.ErrorGetCode();
  ASSERT_NE(m_audio.MusicLoad("pack.bin", modAt, mod.size()), 0u) << m_audio.ErrorGetCode();

  // The sample holds exactly the 0.2 s square: played once it ends after 0.2 s.
  m_audio.SamplePlayEx(s, 0, -1, -1, -101, false);
  EXPECT_EQ(Peak(Side(Render(190), 0)), 32768);
  Render(20);
  EXPECT_EQ(m_audio.ChannelIsActive(s), O2DAUDIO_STOPPED);

  // The whole file is not a sound; a range past its end cannot be read.
  EXPECT_EQ(m_audio.SampleLoad("pack.bin", 0, 0, 1, 0), 0u);
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_FILEFORM);
  EXPECT_EQ(m_audio.StreamCreateFile("pack.bin", wavAt, 1u << 20), 0u);
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_FILEOPEN);
  EXPECT_EQ(m_audio.MusicLoad("pack.bin", 1u << 20, 10), 0u);
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_FILEOPEN);
}

TEST_F(AudioLoadTest, BadDataFailsWithAnErrorCode) {
  WriteFileBytes("text.wav", std::string(4000, 'q') + "This is not a sound at all.\n");
  const std::string wav = WriteWav("good.wav", 22050, 2, SineWave(22050, 300.0, 0.5, 2));
  WriteFileBytes("cut.wav", wav.substr(0, 30));
  WriteFileBytes("cut.mod", MakeModule(3).substr(0, 1100));  // header, no pattern
  std::filesystem::create_directory("folder");
  const std::pair<const char*, int> files[] = {{"text.wav", O2DAUDIO_ERROR_FILEFORM},
                                               {"cut.wav", O2DAUDIO_ERROR_FILEFORM},
                                               {"cut.mod", O2DAUDIO_ERROR_FILEFORM},
                                               {"missing.wav", O2DAUDIO_ERROR_FILEOPEN},
                                               {"folder", O2DAUDIO_ERROR_FILEOPEN}};
  for (const auto& [path, code] : files) {
    SCOPED_TRACE(path);
    EXPECT_EQ(m_audio.SampleLoad(path, 0, 0, 1, 0), 0u);
    EXPECT_EQ(m_audio.ErrorGetCode(), code);
    EXPECT_EQ(m_audio.StreamCreateFile(path, 0, 0), 0u);
    EXPECT_EQ(m_audio.ErrorGetCode(), code);
    EXPECT_EQ(m_audio.MusicLoad(path, 0, 0), 0u);
    EXPECT_EQ(m_audio.ErrorGetCode(), code);
  }
  // A sound file cut inside its data holds what is there.
  WriteFileBytes("short.wav", wav.substr(0, wav.size() / 2));
  EXPECT_NE(m_audio.SampleLoad("short.wav", 0, 0, 1, 0), 0u);
}

TEST_F(AudioLoadTest, ModulesPlayEndAndLoop) {
  WriteFileBytes("tune.mod", MakeModule(3));  // four rows: 0.48 s
  O2DHANDLE m = m_audio.MusicLoad("tune.mod", 0, 0);
  ASSERT_NE(m, 0u) << m_audio.ErrorGetCode();
  EXPECT_EQ(m_audio.ChannelIsActive(m), O2DAUDIO_STOPPED);
  ASSERT_TRUE(m_audio.MusicPlayEx(m, 0, 0, true));
  Pcm out = Render(300);
  EXPECT_GT(Peak(Side(out, 0)), 1000);
  EXPECT_GT(Peak(Side(out, 1)), 1000);
  EXPECT_GT(m_audio.ChannelGetLevel(m) & 0xFFFFu, 1000u);
  Render(300);
  EXPECT_EQ(m_audio.ChannelIsActive(m), O2DAUDIO_STOPPED);
  ASSERT_TRUE(m_audio.MusicPlayEx(m, 0, O2DAUDIO_LOOP, true));
  Render(1500);
  EXPECT_GT(Peak(Side(Render(100), 0)), 1000);
  EXPECT_FALSE(m_audio.MusicPlayEx(m, 5, 0, true));  // the piece has one order
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_POSITION);
}

TEST_F(AudioLoadTest, StreamsPlayOnceLoopAndRestart) {
  WriteWav("s.wav", 22050, 1, SineWave(22050, 441.0, 0.2));
  O2DHANDLE st = m_audio.StreamCreateFile("s.wav", 0, 0);
  ASSERT_NE(st, 0u);
  ASSERT_TRUE(m_audio.StreamPlay(st, true, 0));
  EXPECT_NEAR(ZeroCrossings(Side(Render(150), 0)), 132, 2);  // resampled from 22050 Hz
  Render(60);
  EXPECT_EQ(m_audio.ChannelIsActive(st), O2DAUDIO_STOPPED);

  // Looping is seamless: no gap at the joins.
  ASSERT_TRUE(m_audio.StreamPlay(st, true, O2DAUDIO_LOOP));
  EXPECT_NEAR(ZeroCrossings(Side(Render(1000), 0)), 882, 3);
  EXPECT_EQ(m_audio.ChannelIsActive(st), O2DAUDIO_PLAYING);

  // Stopped half-way, a play without flush goes on.
  ASSERT_TRUE(m_audio.ChannelStop(st));
  ASSERT_TRUE(m_audio.StreamPlay(st, false, 0));
  EXPECT_EQ(m_audio.ChannelIsActive(st), O2DAUDIO_PLAYING);
  ASSERT_TRUE(m_audio.StreamFree(st));
  EXPECT_FALSE(m_audio.StreamPlay(st, true, 0));
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_HANDLE);
}

TEST_F(AudioLoadTest, HandlesAndCallsOutOfOrderFailWithTheirCodes) {
  WriteWav("a.wav", 44100, 1, SineWave(44100, 441.0, 0.1));
  O2DHANDLE s = m_audio.SampleLoad("a.wav", 0, 0, 3, 0);
  ASSERT_NE(s, 0u);
  EXPECT_FALSE(m_audio.StreamPlay(s, true, 0));  // a sample is not a stream
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_HANDLE);
  EXPECT_EQ(m_audio.SamplePlayEx(s, 1u << 20, -1, -1, -101, false), 0u);
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_POSITION);
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, false);
  ASSERT_NE(ch, 0u);
  ASSERT_TRUE(m_audio.SampleFree(s));
  EXPECT_FALSE(m_audio.ChannelStop(ch));
  EXPECT_FALSE(m_audio.ChannelSetAttributes(s, -1, 50, -101));
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_HANDLE);
  EXPECT_FALSE(m_audio.Init(O2DAUDIO_DEVICE_RENDER, kRate));
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_ALREADY);

  CO2DAudio idle;
  EXPECT_EQ(idle.SampleLoad("a.wav", 0, 0, 1, 0), 0u);
  EXPECT_EQ(idle.ErrorGetCode(), O2DAUDIO_ERROR_INIT);
  EXPECT_FALSE(idle.Init(7, kRate));
  EXPECT_EQ(idle.ErrorGetCode(), O2DAUDIO_ERROR_DEVICE);
  EXPECT_FALSE(idle.Init(O2DAUDIO_DEVICE_RENDER, 100));
  EXPECT_EQ(idle.ErrorGetCode(), O2DAUDIO_ERROR_ILLPARAM);
}

// Damaged copies of a good sound and a good module: every load either fails
// with a code or gives something that plays without harm.
TEST_F(AudioLoadTest, DamagedCopiesNeverHarmTheMixer) {
  const std::string wav = WriteWav("good.wav", 22050, 2, SineWave(22050, 300.0, 0.1, 2));
  const std::string mod = MakeModule(2);
  uint32_t seed = 12345;
  auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  for (int round = 0; round < 150; ++round) {
    for (const std::string* good : {&wav, &mod}) {
      std::string bad = *good;
      const int hits = 1 + static_cast<int>(next() % 8);
      for (int i = 0; i < hits; ++i) bad[next() % bad.size()] = static_cast<char>(next());
      if (next() % 4 == 0) bad.resize(next() % bad.size());
      WriteFileBytes("bad.bin", bad);
      O2DHANDLE s = m_audio.SampleLoad("bad.bin", 0, 0, 2, O2DAUDIO_SAMPLE_OVER_POS);
      EXPECT_EQ(s == 0, m_audio.ErrorGetCode() != O2DAUDIO_OK);
      O2DHANDLE st = m_audio.StreamCreateFile("bad.bin", 0, 0);
      EXPECT_EQ(st == 0, m_audio.ErrorGetCode() != O2DAUDIO_OK);
      O2DHANDLE m = m_audio.MusicLoad("bad.bin", 0, 0);
      EXPECT_EQ(m == 0, m_audio.ErrorGetCode() != O2DAUDIO_OK);
      if (s) m_audio.SamplePlayEx(s, 0, 30000, -1, -101, true);
      if (st) m_audio.StreamPlay(st, true, O2DAUDIO_LOOP);
      if (m) m_audio.MusicPlayEx(m, 0, O2DAUDIO_LOOP, true);
      Render(30);
      if (s) m_audio.SampleFree(s);
      if (st) m_audio.StreamFree(st);
      if (m) m_audio.MusicFree(m);
    }
  }
}

}  // namespace
