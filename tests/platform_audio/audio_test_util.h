#pragma once
// Sounds the audio tests make for themselves, and measurements of mixed output.
#include <cstdint>
#include <string>
#include <vector>

#include "o2d_audio.h"
#include "test_support.h"

// Interleaved 16-bit frames.
using Pcm = std::vector<int16_t>;

Pcm SineWave(int rate, double hz, double seconds, int channels = 1, double amplitude = 0.5);
// Full scale: +32767 / -32768, `hz` periods a second.
Pcm SquareWave(int rate, double hz, double seconds, int channels = 1);
// Writes a 16-bit WAV with libsndfile and returns its bytes.
std::string WriteWav(const std::string& path, int rate, int channels, const Pcm& pcm);
// A four-channel module with one looping square-wave instrument; two notes
// start on row 0 and a pattern break on row `lastRow` ends the piece there
// (each row lasts 120 ms).
std::string MakeModule(int lastRow);

// Left (0) or right (1) channel of mixed stereo frames.
std::vector<int16_t> Side(const Pcm& stereo, int side);
int ZeroCrossings(const std::vector<int16_t>& samples);
int Peak(const std::vector<int16_t>& samples);

// A mixer with no output device, started, at 44100 Hz: tests pull its output.
class AudioTest : public TempDirTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  Pcm Render(int ms);
  CO2DAudio m_audio;
  static constexpr int kRate = 44100;
};
