// What the mixer makes of channels: pitch, pan, slides, fades, levels, pause.
#include <cmath>
#include <tuple>

#include "audio_test_util.h"

namespace {

class AudioMixTest : public AudioTest {
 protected:
  // A 1 s mono sine of 441 Hz at 22050 Hz, loaded as a sample.
  O2DHANDLE LoadSine(uint32_t playbacks = 1, uint32_t flags = O2DAUDIO_SAMPLE_OVER_POS) {
    WriteWav("sine.wav", 22050, 1, SineWave(22050, 441.0, 1.0));
    O2DHANDLE s = m_audio.SampleLoad("sine.wav", 0, 0, playbacks, flags);
    EXPECT_NE(s, 0u) << m_audio.ErrorGetCode();
    return s;
  }
  O2DHANDLE LoadSquare() {
    WriteWav("square.wav", 44100, 1, SquareWave(44100, 100.0, 1.0));
    O2DHANDLE s = m_audio.SampleLoad("square.wav", 0, 0, 1, 0);
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

TEST_F(AudioMixTest, DoubledFrequencyDoublesZeroCrossingsAndPanSilencesTheOppositeSide) {
  O2DHANDLE s = LoadSine();
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, true);
  ASSERT_NE(ch, 0u);
  EXPECT_EQ(std::get<0>(Attributes(ch)), 22050);  // the sample's own rate by default
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 441, 3);  // 441 Hz for half a second
  ASSERT_TRUE(m_audio.ChannelSetAttributes(s, 44100, -1, -101));
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 882, 4);

  // 0 returns to the sample's own rate.
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, 0, -1, -101));
  EXPECT_NEAR(ZeroCrossings(Side(Render(500), 0)), 441, 3);

  // Pan -100 silences the right side, 100 the left.
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, -1, 100, -100));
  Render(10);  // the gain ramps over one block
  Pcm out = Render(100);
  EXPECT_GT(Peak(Side(out, 0)), 15000);
  EXPECT_EQ(Peak(Side(out, 1)), 0);
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, -1, -1, 100));
  Render(10);
  out = Render(100);
  EXPECT_EQ(Peak(Side(out, 0)), 0);
  EXPECT_GT(Peak(Side(out, 1)), 15000);
  // -1 and -101 leave an attribute alone; values out of range are clamped.
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, 5, -1, -101));
  EXPECT_EQ(Attributes(ch), std::tuple(100, 100, 100));
  ASSERT_TRUE(m_audio.ChannelSetAttributes(ch, -1, 250, -300));
  EXPECT_EQ(Attributes(ch), std::tuple(100, 100, -100));
}

TEST_F(AudioMixTest, VolumeSlideIsHalfWayAtHalfTime) {
  O2DHANDLE s = LoadSquare();
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, 100, 0, true);
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(ch, 22050, 0, 100, 1000));
  Render(500);
  const auto [freq, vol, pan] = Attributes(ch);
  EXPECT_EQ(std::pair(vol, pan), std::pair(50, 50));
  EXPECT_NEAR(freq, 33075, 1);
  // The output follows: the right side is at half volume, the left at a quarter.
  Pcm out = Render(5);
  EXPECT_NEAR(Peak(Side(out, 1)), 16384, 600);
  EXPECT_NEAR(Peak(Side(out, 0)), 8192, 600);

  Render(600);  // past the end the targets hold and the channel plays on
  EXPECT_EQ(Attributes(ch), std::tuple(22050, 0, 100));
  EXPECT_EQ(m_audio.ChannelIsActive(ch), O2DAUDIO_PLAYING);
}

TEST_F(AudioMixTest, FadeToMinusTwoStopsTheChannelByItself) {
  O2DHANDLE s = LoadSquare();
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, true);
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(s, -1, -2, -101, 200));
  Render(150);
  EXPECT_EQ(m_audio.ChannelIsActive(ch), O2DAUDIO_PLAYING);
  Render(60);
  EXPECT_EQ(m_audio.ChannelIsActive(ch), O2DAUDIO_STOPPED);
  EXPECT_EQ(m_audio.ChannelIsActive(s), O2DAUDIO_STOPPED);
  EXPECT_EQ(Peak(Side(Render(50), 0)), 0);

  // A fade with no time stops at once; on a stopped channel it only sets the volume.
  ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, true);
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(ch, -1, -2, -101, 0));
  EXPECT_EQ(m_audio.ChannelIsActive(ch), O2DAUDIO_STOPPED);
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(ch, -1, -2, -101, 500));
  EXPECT_EQ(std::get<1>(Attributes(ch)), 0);
  EXPECT_EQ(m_audio.ChannelIsActive(ch), O2DAUDIO_STOPPED);
}

TEST_F(AudioMixTest, LevelsOfAFullScaleSquareIgnoreVolumeAndPan) {
  O2DHANDLE s = LoadSquare();
  EXPECT_EQ(m_audio.ChannelGetLevel(s), 0u);  // nothing plays yet
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, 30, -100, true);
  Pcm out = Render(50);
  EXPECT_EQ(m_audio.ChannelGetLevel(ch), 32768u | (32768u << 16));
  EXPECT_EQ(m_audio.ChannelGetLevel(s), 32768u | (32768u << 16));
  EXPECT_NEAR(Peak(Side(out, 0)), 9830, 2);  // the mix itself is at volume 30
  EXPECT_EQ(Peak(Side(out, 1)), 0);

  ASSERT_TRUE(m_audio.ChannelPause(ch));
  EXPECT_EQ(m_audio.ChannelGetLevel(ch), 0u);
  EXPECT_EQ(m_audio.ChannelGetLevel(0x7ABCDEF0u), 0xFFFFFFFFu);
  EXPECT_EQ(m_audio.ErrorGetCode(), O2DAUDIO_ERROR_HANDLE);
}

TEST_F(AudioMixTest, GlobalVolumesScaleTheirKindAndPausedOutputHoldsSlides) {
  O2DHANDLE s = LoadSquare();
  O2DHANDLE st = m_audio.StreamCreateFile("square.wav", 0, 0);
  ASSERT_NE(st, 0u);
  ASSERT_TRUE(m_audio.SetGlobalVolumes(80, 50, 20));
  O2DHANDLE ch = m_audio.SamplePlayEx(s, 0, -1, -1, -101, true);
  EXPECT_NEAR(Peak(Side(Render(20), 0)), 16384, 2);
  m_audio.SampleStop(s);
  ASSERT_TRUE(m_audio.StreamPlay(st, true, O2DAUDIO_LOOP));
  EXPECT_NEAR(Peak(Side(Render(20), 0)), 6554, 2);
  ASSERT_TRUE(m_audio.StreamFree(st));

  ch = m_audio.SamplePlayEx(s, 0, -1, 100, -101, true);
  ASSERT_TRUE(m_audio.ChannelSlideAttributes(ch, -1, 0, -101, 200));
  Render(100);
  ASSERT_TRUE(m_audio.Pause());
  EXPECT_EQ(Peak(Side(Render(500), 0)), 0);
  EXPECT_EQ(std::get<1>(Attributes(ch)), 50);  // the slide waited with the output
  ASSERT_TRUE(m_audio.Start());
  EXPECT_GT(Peak(Side(Render(50), 0)), 5000);
  ASSERT_TRUE(m_audio.Stop());
  EXPECT_EQ(m_audio.ChannelIsActive(ch), O2DAUDIO_STOPPED);
}

}  // namespace
