#pragma once
// Sounds and modules the audio tests make for themselves, and measurements of
// mixed output. Header-only so that any suite can use them.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "test_support.h"

// Interleaved 16-bit frames.
using Pcm = std::vector<int16_t>;

inline Pcm SineWave(int rate, double hz, double seconds, int channels = 1, double amplitude = 0.5) {
  const int frames = static_cast<int>(rate * seconds);
  Pcm pcm;
  for (int i = 0; i < frames; ++i) {
    const auto v = static_cast<int16_t>(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate)));
    for (int c = 0; c < channels; ++c) pcm.push_back(v);
  }
  return pcm;
}

// Writes a 16-bit WAV with libsndfile and returns its bytes.
inline std::string WriteWav(const std::string& path, int rate, int channels, const Pcm& pcm) {
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  EXPECT_NE(f, nullptr) << sf_strerror(nullptr);
  if (!f) return {};
  sf_writef_short(f, pcm.data(), static_cast<sf_count_t>(pcm.size() / channels));
  sf_close(f);
  return ReadFileBytes(path);
}

// A four-channel module with one looping square-wave instrument; two notes
// start on row 0 and a pattern break on row `lastRow` ends the piece there
// (each row lasts 120 ms).
inline std::string MakeModule(int lastRow) {
  std::string mod(1084 + 64 * 4 * 4, '\0');
  auto put = [&](size_t at, std::initializer_list<int> bytes) {
    for (int b : bytes) mod[at++] = static_cast<char>(b);
  };
  mod.replace(0, 4, "test");
  // Sample 1: 16 words at volume 64, looping over all of them; the other 30 are empty.
  put(20 + 22, {0, 16, 0, 64, 0, 0, 0, 16});
  for (size_t s = 1; s < 31; ++s) put(20 + 30 * s + 28, {0, 1});
  put(950, {1, 127});  // song length 1
  mod.replace(1080, 4, "M.K.");
  // Row 0: sample 1 at periods 428 and 214 on channels 0 and 1; a pattern break on channel 2 of `lastRow`.
  put(1084, {428 >> 8, 428 & 0xFF, 0x10, 0, 214 >> 8, 214 & 0xFF, 0x10, 0});
  put(1084 + (static_cast<size_t>(lastRow) * 4 + 2) * 4 + 2, {0xD, 0});
  for (int i = 0; i < 32; ++i) mod += static_cast<char>(i < 16 ? 100 : -100);
  return mod;
}

// Left (0) or right (1) channel of mixed stereo frames.
inline std::vector<int16_t> Side(const Pcm& stereo, int side) {
  std::vector<int16_t> out;
  for (size_t i = static_cast<size_t>(side); i < stereo.size(); i += 2) out.push_back(stereo[i]);
  return out;
}

inline int ZeroCrossings(const std::vector<int16_t>& samples) {
  int n = 0;
  for (size_t i = 1; i < samples.size(); ++i)
    if ((samples[i - 1] < 0) != (samples[i] < 0)) ++n;
  return n;
}

inline int Peak(const std::vector<int16_t>& samples) {
  int p = 0;
  for (int16_t s : samples) p = std::max(p, std::abs(static_cast<int>(s)));
  return p;
}
