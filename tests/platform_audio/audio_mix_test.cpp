// What the mixer makes of channels: pitch, pan, slides, levels and the global
// volumes. Fades, pauses and the volume heard through the engine are measured
// by the sound tests.
#include <cmath>
#include <tuple>

#include "audio_test_util.h"

namespace {

class AudioMixTest : public AudioTest {
 protected:
  // A 1 s mono wave at the rate given, loaded as a sample.
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
};

TEST_F(AudioMixTest, FrequencyPanClampingAndLevels) {
  O2DHANDLE s = Load("sine.wav", 22050, SineWave(22050, 441.0, 1.0));
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, true);
  ASSERT_NE(ch, 0u);
  EXPECT_EQ(std::get<0>(Attributes(ch)), 22050);  // the sample's own rate by default
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 441, 3);  // 441 Hz for half a second
  ASSERT_TRUE(m_audio.ChannelSetAttributes(s, 44100, -1, -101));
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 882, 4);
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, 0, -1, -101));  // 0: back to the sample's rate
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 441, 3);

  // Pan 100 silences the left side; the level ignores volume and pan.
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, -1, 30, 100));
  Render(10);  // the gain ramps over one block
  Pcm out = Render(100);
  EXPECT_EQ(Peak(Side(out, 0)), 0);
  EXPECT_NEAR(Peak(Side(out, 1)), 4915, 100);  // a half-scale sine at volume 30
  EXPECT_GT(m_audio.ChannelGetLevel(ch) & 0xFFFFu, 15000u);
  EXPECT_GT(m_audio.ChannelGetLevel(ch) >> 16, 15000u);
  // -1 and -101 leave an attribute alone; values out of range are clamped.
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, 5, -1, -101));
  EXPECT_EQ(Attributes(ch), std::tuple(100, 30, 100));
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, -1, 250, -300));
  EXPECT_EQ(Attributes(ch), std::tuple(100, 100, -100));
}

TEST_F(AudioMixTest, SlideIsHalfWayAtHalfTimeAndHoldsItsTargets) {
  O2DHANDLE s = Load("square.wav", 44100, SquareWave(44100, 100.0, 1.0));
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

TEST_F(AudioMixTest, GlobalVolumesScaleTheirKind) {
  O2DHANDLE s = Load("square.wav", 44100, SquareWave(44100, 100.0, 1.0));
  O2DHANDLE st = m_audio.StreamCreateFile("square.wav", 0, 0);
  ASSERT_NE(st, 0u);
  ASSERT_TRUE(m_audio.SetGlobalVolumes(80, 50, 20));
  m_audio.SamplePlayEx(s, 0, -1, -1, -101, true);
  EXPECT_NEAR(Peak(Side(Render(20), 0)), 16384, 2);
  m_audio.SampleStop(s);
  ASSERT_TRUE(m_audio.StreamPlay(st, true, O2DAUDIO_LOOP));
  EXPECT_NEAR(Peak(Side(Render(20), 0)), 6554, 2);
}

}  // namespace
