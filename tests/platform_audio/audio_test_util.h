#pragma once
// The mixer fixture of the audio back-end tests.
#include "audio_generators.h"
#include "o2d_audio.h"
#include "test_support.h"

// A mixer with no output device, started, at 44100 Hz: tests pull its output.
class AudioTest : public TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  Pcm Render(int ms);
  CO2DAudio m_audio;
  static constexpr int kRate = 44100;
};
