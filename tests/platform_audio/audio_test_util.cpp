#include "audio_test_util.h"

void AudioTest::SetUp() {
  TempDirTest::SetUp();
  ASSERT_TRUE(m_audio.Init(O2DAUDIO_DEVICE_RENDER, kRate));
  ASSERT_TRUE(m_audio.Start());
}

void AudioTest::TearDown() {
  m_audio.Free();
  TempDirTest::TearDown();
}

Pcm AudioTest::Render(int ms) {
  Pcm out(static_cast<size_t>(kRate) * ms / 1000 * 2);
  m_audio.Mix(out.data(), static_cast<int>(out.size() / 2));
  return out;
}
