// Loading from file ranges, bad data, streams, module music and the devices.
#include <cstdlib>
#include <filesystem>

#include "audio_test_util.h"

namespace {

using AudioLoadTest = AudioTest;

TEST_F(AudioLoadTest, SoundsAndMusicReadFromARangeInsideABiggerFile) {
  const std::string wav = WriteWav("a.wav", 44100, 1, SquareWave(44100, 100.0, 0.2));
  const std::string mod = MakeModule(3);
  const std::string head(777, 'x');
  WriteFileBytes("pack.bin", head + wav + "between" + mod + std::string(100, 'y'));
  const uint64_t wavAt = head.size();
  const uint64_t modAt = head.size() + wav.size() + 7;

  O2DHANDLE s = m_audio.SampleLoad("pack.bin", wavAt, wav.size(), 1, 0);
  ASSERT_NE(s, 0u) << m_audio.ErrorGetCode();
  O2DHANDLE st = m_audio.StreamCreateFile("pack.bin", wavAt, wav.size());
  ASSERT_NE(st, 0u) << m_audio.ErrorGetCode();
  O2DHANDLE mu = m_audio.MusicLoad("pack.bin", modAt, mod.size());
  ASSERT_NE(mu, 0u) << m_audio.ErrorGetCode();

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
  std::string mod = MakeModule(3);
  WriteFileBytes("cut.mod", mod.substr(0, 1100));  // header, no pattern
  std::string garbage = mod;
  for (size_t i = 0; i < 950; ++i) garbage[i] = static_cast<char>(0xFF - i * 7);
  WriteFileBytes("garbage.mod", garbage);
  std::filesystem::create_directory("folder");

  for (const char* path : {"text.wav", "cut.wav", "cut.mod", "missing.wav", "folder"}) {
    SCOPED_TRACE(path);
    const int want = std::string(path).find('.') == std::string::npos || std::string(path) == "missing.wav"
                         ? O2DAUDIO_ERROR_FILEOPEN
                         : O2DAUDIO_ERROR_FILEFORM;
    EXPECT_EQ(m_audio.SampleLoad(path, 0, 0, 1, 0), 0u);
    EXPECT_EQ(m_audio.ErrorGetCode(), want);
    EXPECT_EQ(m_audio.StreamCreateFile(path, 0, 0), 0u);
    EXPECT_EQ(m_audio.ErrorGetCode(), want);
    EXPECT_EQ(m_audio.MusicLoad(path, 0, 0), 0u);
    EXPECT_EQ(m_audio.ErrorGetCode(), want);
  }
  // A damaged module either fails to load or plays without harm.
  O2DHANDLE m = m_audio.MusicLoad("garbage.mod", 0, 0);
  if (m != 0) {
    EXPECT_TRUE(m_audio.MusicPlayEx(m, 0, 0, true));
    Render(300);
  } else {
    EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_FILEFORM);
  }
  // A sound file cut inside its data holds what is there.
  WriteFileBytes("short.wav", wav.substr(0, wav.size() / 2));
  EXPECT_NE(m_audio.SampleLoad("short.wav", 0, 0, 1, 0), 0u);
}

TEST_F(AudioLoadTest, ModulePlaysEndsAndLoops) {
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
  EXPECT_EQ(m_audio.ChannelIsActive(m), O2DAUDIO_PLAYING);
  EXPECT_GT(Peak(Side(Render(100), 0)), 1000);
  // The fade the music uses to change pieces: silence, then a stop by itself.
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(m, -1, -2, -101, 300));
  Render(320);
  EXPECT_EQ(m_audio.ChannelIsActive(m), O2DAUDIO_STOPPED);
  // Played again it starts at the faded volume until raised.
  ASSERT_TRUE(m_audio.MusicPlayEx(m, 0, O2DAUDIO_LOOP, true));
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(m, 0, 100, -101, 100));
  Render(150);
  int v = 0;
  m_audio.ChannelGetAttributes(m, nullptr, &v, nullptr);
  EXPECT_EQ(v, 100);
  EXPECT_FALSE(m_audio.MusicPlayEx(m, 5, 0, true));  // the piece has one order
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_POSITION);
}

TEST_F(AudioLoadTest, SoundFilesAreMusicToo) {
  WriteWav("song.wav", 44100, 2, SineWave(44100, 200.0, 0.3, 2));
  O2DHANDLE m = m_audio.MusicLoad("song.wav", 0, 0);
  ASSERT_NE(m, 0u) << m_audio.ErrorGetCode();
  ASSERT_TRUE(m_audio.MusicPlayEx(m, 0, 0, true));
  EXPECT_GT(Peak(Side(Render(200), 1)), 15000);
  Render(150);
  EXPECT_EQ(m_audio.ChannelIsActive(m), O2DAUDIO_STOPPED);
}

TEST_F(AudioLoadTest, StreamsPlayOnceLoopAndRestart) {
  WriteWav("s.wav", 22050, 1, SineWave(22050, 441.0, 0.2));
  O2DHANDLE st = m_audio.StreamCreateFile("s.wav", 0, 0);
  ASSERT_NE(st, 0u);
  ASSERT_TRUE(m_audio.StreamPlay(st, true, 0));
  Pcm out = Render(150);
  EXPECT_NEAR(ZeroCrossings(Side(out, 0)), 132, 2);  // resampled from 22050 Hz
  Render(60);
  EXPECT_EQ(m_audio.ChannelIsActive(st), O2DAUDIO_STOPPED);

  ASSERT_TRUE(m_audio.StreamPlay(st, true, O2DAUDIO_LOOP));
  out = Render(1000);
  EXPECT_EQ(m_audio.ChannelIsActive(st), O2DAUDIO_PLAYING);
  // Looping is seamless: no gap at the joins.
  std::vector<int16_t> left = Side(out, 0);
  EXPECT_NEAR(ZeroCrossings(left), 882, 3);

  // Stopped half-way, a play without flush goes on; with flush it starts over.
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
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_OK);
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

TEST_F(AudioLoadTest, SilentDeviceLoadsAsUsualAndPlaysNothing) {
  WriteWav("a.wav", 44100, 1, SquareWave(44100, 100.0, 0.5));
  WriteFileBytes("tune.mod", MakeModule(3));
  WriteFileBytes("bad.wav", "nothing");
  CO2DAudio silent;
  ASSERT_TRUE(silent.Init(O2DAUDIO_DEVICE_SILENT, kRate));
  ASSERT_TRUE(silent.Start());
  EXPECT_TRUE(silent.IsSilent());
  O2DHANDLE s = silent.SampleLoad("a.wav", 0, 0, 1, 0);
  O2DHANDLE st = silent.StreamCreateFile("a.wav", 0, 0);
  O2DHANDLE m = silent.MusicLoad("tune.mod", 0, 0);
  ASSERT_NE(s, 0u);
  ASSERT_NE(st, 0u);
  ASSERT_NE(m, 0u);
  EXPECT_EQ(silent.SampleLoad("bad.wav", 0, 0, 1, 0), 0u);
  EXPECT_EQ(silent.ErrorGetCode(), O2DAUDIO_ERROR_FILEFORM);

  EXPECT_NE(silent.SamplePlayEx(s, 0, -1, -1, -101, true), 0u);
  EXPECT_NE(silent.SamplePlayEx(s, 0, -1, -1, -101, true), 0u);  // never busy
  EXPECT_TRUE(silent.StreamPlay(st, true, O2DAUDIO_LOOP));
  EXPECT_TRUE(silent.MusicPlayEx(m, 0, O2DAUDIO_LOOP, true));
  EXPECT_TRUE(silent.ChannelSlideAttributes(m, -1, -2, -101, 1000));
  EXPECT_TRUE(silent.SetGlobalVolumes(50, 50, 50));
  Pcm out(2000, 123);
  silent.Mix(out.data(), 1000);
  EXPECT_EQ(Peak(out), 0);
  silent.Update();
  for (O2DHANDLE h : {s, st, m}) EXPECT_EQ(silent.ChannelIsActive(h), O2DAUDIO_STOPPED);
  EXPECT_EQ(silent.GetCPU(), 0.0f);
  EXPECT_TRUE(silent.Free());
}

TEST(AudioDeviceTest, DefaultDeviceQueuesAheadOrFailsWithoutADriver) {
  const char* old = std::getenv("SDL_AUDIODRIVER");
  const std::string saved = old ? old : "";
  {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    CO2DAudio audio;
    EXPECT_FALSE(audio.Init(O2DAUDIO_DEVICE_DEFAULT, 44100));
    EXPECT_EQ(audio.ErrorGetCode(), O2DAUDIO_ERROR_DRIVER);
    EXPECT_TRUE(audio.Init(O2DAUDIO_DEVICE_SILENT, 44100));
  }
  {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CO2DAudio audio;
    ASSERT_TRUE(audio.Init(O2DAUDIO_DEVICE_DEFAULT, 44100));
    EXPECT_FALSE(audio.IsSilent());
    ASSERT_TRUE(audio.Start());
    audio.Update();
    audio.Update();
    EXPECT_TRUE(audio.Pause());
    EXPECT_TRUE(audio.Stop());
    EXPECT_TRUE(audio.Free());
    EXPECT_FALSE(audio.Free());
    EXPECT_EQ(audio.ErrorGetCode(), O2DAUDIO_ERROR_INIT);
  }
  if (old)
    setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
  else
    unsetenv("SDL_AUDIODRIVER");
}

}  // namespace

namespace {

// Damaged copies of a good sound and a good module: every load either fails
// with a code or gives something that plays without harm.
TEST_F(AudioLoadTest, DamagedCopiesNeverHarmTheMixer) {
  const std::string wav = WriteWav("good.wav", 22050, 2, SineWave(22050, 300.0, 0.1, 2));
  const std::string mod = MakeModule(2);
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
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
