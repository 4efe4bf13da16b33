// The mixer's own behaviour: pitch, clamping, slides, global volumes, module and
// stream endings, error codes and damaged files. Volume, pan, fades and pack
// ranges heard through the engine are measured by the sound tests.
#include <tuple>

#include "audio_generators.h"
#include "o2d_audio.h"

namespace {

// Whether a call succeeded (true, or a handle) and the error code it left.
std::pair<bool, int> Outcome(uint32_t result, const CO2DAudio& audio) { return {result != 0, audio.ErrorGetCode()}; }

// A mixer with no output device, started, at 44100 Hz: tests pull its output.
class AudioTest : public TempDirTest {
 protected:
  static constexpr int kRate = 44100;
  void SetUp() override {
    TempDirTest::SetUp();
    ASSERT_TRUE(m_audio.Init(O2DAUDIO_DEVICE_RENDER, kRate));
    ASSERT_TRUE(m_audio.Start());
  }
  void TearDown() override {
    m_audio.Free();
    TempDirTest::TearDown();
  }
  Pcm Render(int ms) {
    Pcm out(static_cast<size_t>(kRate) * ms / 1000 * 2);
    m_audio.Mix(out.data(), static_cast<int>(out.size() / 2));
    return out;
  }
  O2DHANDLE Load(const char* file, int rate, const Pcm& wave) {
    WriteWav(file, rate, 1, wave);
    O2DHANDLE s = m_audio.SampleLoad(file, 0, 0, 1, O2DAUDIO_SAMPLE_OVER_POS);
    EXPECT_NE(s, 0u) << m_audio.ErrorGetCode();
    return s;
  }
  // Frequency, volume and pan of a channel.
  std::tuple<int, int, int> Attributes(O2DHANDLE ch) {
    int f = 0, v = 0, p = 0;
    EXPECT_TRUE(m_audio.ChannelGetAttributes(ch, &f, &v, &p));
    return {f, v, p};
  }
  CO2DAudio m_audio;
};

TEST_F(AudioTest, FrequencyAndClamping) {
  O2DHANDLE s = Load("sine.wav", 22050, SineWave(22050, 441.0, 1.0));
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, true);
  ASSERT_NE(ch, 0u);
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 441, 3);  // the sample's own rate: 441 Hz for half a second
  ASSERT_TRUE(m_audio.ChannelSetAttributes(s, 44100, -1, -101));
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 882, 4);
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, 0, 30, 100));  // 0: back to the sample's rate
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 1)), 441, 3);
  // -1 and -101 leave an attribute alone; values out of range are clamped.
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, 5, -1, -101));
  EXPECT_EQ(Attributes(ch), std::tuple(100, 30, 100));
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, -1, 250, -300));
  EXPECT_EQ(Attributes(ch), std::tuple(100, 100, -100));
}

TEST_F(AudioTest, SlideIsHalfWayAtHalfTimeAndHoldsItsTargets) {
  O2DHANDLE s = Load("full.wav", 44100, SineWave(44100, 100.0, 1.0, 1, 1.0));
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, 100, 0, true);
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(ch, 22050, 0, 100, 1000));
  Render(500);
  const auto [freq, vol, pan] = Attributes(ch);
  EXPECT_EQ(std::pair(vol, pan), std::pair(50, 50));
  EXPECT_NEAR(freq, 33075, 1);
  Render(600);  // past the end the targets hold and the channel plays on
  EXPECT_EQ(Attributes(ch), std::tuple(22050, 0, 100));
  EXPECT_EQ(m_audio.ChannelIsActive(ch), O2DAUDIO_PLAYING);
}

TEST_F(AudioTest, ModulesAndStreamsEndOrLoopSeamlessly) {
  WriteFileBytes("tune.mod", MakeModule(3));  // four rows: 0.48 s
  O2DHANDLE m = m_audio.MusicLoad("tune.mod", 0, 0);
  ASSERT_NE(m, 0u) << m_audio.ErrorGetCode();
  ASSERT_TRUE(m_audio.MusicPlayEx(m, 0, 0, true));
  EXPECT_GT(Peak(Side(Render(300), 1)), 1000);
  Render(300);
  EXPECT_EQ(m_audio.ChannelIsActive(m), O2DAUDIO_STOPPED);
  ASSERT_TRUE(m_audio.MusicPlayEx(m, 0, O2DAUDIO_LOOP, true));
  Render(1500);
  EXPECT_GT(Peak(Side(Render(100), 0)), 1000);
  // The piece has one order.
  EXPECT_EQ(Outcome(m_audio.MusicPlayEx(m, 5, 0, true), m_audio), std::pair(false, O2DAUDIO_ERROR_POSITION));
  ASSERT_TRUE(m_audio.ChannelStop(m));

  WriteWav("s.wav", 22050, 1, SineWave(22050, 441.0, 0.2));
  O2DHANDLE st = m_audio.StreamCreateFile("s.wav", 0, 0);
  ASSERT_TRUE(m_audio.StreamPlay(st, true, O2DAUDIO_LOOP));  // no gap at the joins
  EXPECT_NEAR(ZeroCrossings(Side(Render(1000), 0)), 882, 3);
}

TEST_F(AudioTest, BadFilesRangesHandlesAndCallsOutOfOrderFailWithTheirCodes) {
  WriteFileBytes("text.wav", std::string(4000, 'q') + "This is not a sound at all.\n");
  WriteWav("good.wav", 22050, 2, SineWave(22050, 300.0, 0.5, 2));
  WriteFileBytes("cut.mod", MakeModule(3).substr(0, 1100));  // header, no pattern
  const std::pair<const char*, int> files[] = {
      {"text.wav", O2DAUDIO_ERROR_FILEFORM}, {"cut.mod", O2DAUDIO_ERROR_FILEFORM}, {"missing.wav", O2DAUDIO_ERROR_FILEOPEN}};
  for (const auto& [path, code] : files) {
    EXPECT_EQ(Outcome(m_audio.SampleLoad(path, 0, 0, 1, 0) + m_audio.StreamCreateFile(path, 0, 0), m_audio),
              std::pair(false, code)) << path;
    EXPECT_EQ(Outcome(m_audio.MusicLoad(path, 0, 0), m_audio), std::pair(false, code)) << path;
  }
  // A range past the end.
  EXPECT_EQ(Outcome(m_audio.StreamCreateFile("good.wav", 10, 1u << 20), m_audio), std::pair(false, O2DAUDIO_ERROR_FILEOPEN));

  O2DHANDLE s = m_audio.SampleLoad("good.wav", 0, 0, 3, 0);
  ASSERT_NE(s, 0u);
  // A sample is not a stream.
  EXPECT_EQ(Outcome(m_audio.StreamPlay(s, true, 0), m_audio), std::pair(false, O2DAUDIO_ERROR_HANDLE));
  EXPECT_EQ(Outcome(m_audio.SamplePlayEx(s, 1u << 20, -1, -1, -101, false), m_audio), std::pair(false, O2DAUDIO_ERROR_POSITION));
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, false);
  ASSERT_TRUE(ch != 0u && m_audio.SampleFree(s));
  EXPECT_EQ(Outcome(m_audio.ChannelStop(ch), m_audio), std::pair(false, O2DAUDIO_ERROR_HANDLE));
  EXPECT_EQ(Outcome(m_audio.Init(O2DAUDIO_DEVICE_RENDER, kRate), m_audio), std::pair(false, O2DAUDIO_ERROR_ALREADY));

  CO2DAudio idle;
  EXPECT_EQ(Outcome(idle.SampleLoad("good.wav", 0, 0, 1, 0), idle), std::pair(false, O2DAUDIO_ERROR_INIT));
  EXPECT_EQ(Outcome(idle.Init(7, kRate), idle), std::pair(false, O2DAUDIO_ERROR_DEVICE));
}

// Damaged copies of a good sound and a good module: every load either fails
// with a code or gives something that plays without harm.
TEST_F(AudioTest, DamagedCopiesNeverHarmTheMixer) {
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
      O2DHANDLE m = m_audio.MusicLoad("bad.bin", 0, 0);
      EXPECT_EQ(m == 0, m_audio.ErrorGetCode() != O2DAUDIO_OK);
      if (s) m_audio.SamplePlayEx(s, 0, 30000, -1, -101, true);
      if (m) m_audio.MusicPlayEx(m, 0, O2DAUDIO_LOOP, true);
      Render(30);
      if (s) m_audio.SampleFree(s);
      if (m) m_audio.MusicFree(m);
    }
  }
}

}  // namespace
