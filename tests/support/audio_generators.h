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
  std::string mod(1084, '\0');
  mod.replace(0, 4, "test");
  auto put16 = [&](size_t at, int v) {
    mod[at] = static_cast<char>((v >> 8) & 0xFF);
    mod[at + 1] = static_cast<char>(v & 0xFF);
  };
  const int sampleWords = 16;
  for (int s = 0; s < 31; ++s) {
    const size_t h = 20 + 30 * static_cast<size_t>(s);
    if (s == 0) {
      put16(h + 22, sampleWords);
      mod[h + 25] = 64;  // volume
      put16(h + 26, 0);
      put16(h + 28, sampleWords);  // loops the whole sample
    } else {
      put16(h + 28, 1);
    }
  }
  mod[950] = 1;  // song length
  mod[951] = 127;
  mod.replace(1080, 4, "M.K.");

  std::string pattern(64 * 4 * 4, '\0');
  auto note = [&](int row, int ch, int sample, int period, int effect, int param) {
    const size_t at = (static_cast<size_t>(row) * 4 + ch) * 4;
    pattern[at] = static_cast<char>((sample & 0xF0) | (period >> 8));
    pattern[at + 1] = static_cast<char>(period & 0xFF);
    pattern[at + 2] = static_cast<char>(((sample & 0x0F) << 4) | effect);
    pattern[at + 3] = static_cast<char>(param);
  };
  note(0, 0, 1, 428, 0, 0);
  note(0, 1, 1, 214, 0, 0);
  note(lastRow, 2, 0, 0, 0xD, 0);  // pattern break: the piece ends after this row
  mod += pattern;
  for (int i = 0; i < 2 * sampleWords; ++i) mod += static_cast<char>(i < sampleWords ? 100 : -100);
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
