#include "o2d_audio_voice.h"

#include <algorithm>
#include <cmath>

#include "o2d_audio.h"
#include "o2d_audio_source.h"

namespace {

constexpr int kDecodeFrames = 1024;
constexpr float kMinFreq = 100.0f;
constexpr float kMaxFreq = 200000.0f;

uint16_t PeakToLevel(float peak) {
  return static_cast<uint16_t>(std::min(32768L, std::lround(peak * 32768.0f)));
}

}  // namespace

void CO2DAudioVoice::SAttr::Slide(float target, int64_t frames) {
  from = value;
  to = target;
  total = frames;
  elapsed = 0;
  sliding = true;
}

bool CO2DAudioVoice::SAttr::Advance(int64_t frames) {
  if (!sliding) return false;
  elapsed += frames;
  if (elapsed >= total) {
    value = to;
    sliding = false;
    return true;
  }
  value = from + (to - from) * static_cast<float>(static_cast<double>(elapsed) / static_cast<double>(total));
  return false;
}

CO2DAudioVoice::CO2DAudioVoice(EO2DVoiceGroup group, uint32_t outRate, uint32_t nativeRate)
    : m_group(group), m_outRate(outRate), m_nativeRate(nativeRate) {
  SetDefaults();
}

void CO2DAudioVoice::SetMemory(const float* stereo, int64_t frames) {
  m_memory = true;
  m_source = nullptr;
  m_data = stereo;
  m_frames = frames;
}

void CO2DAudioVoice::SetSource(CO2DAudioSource* source) {
  m_memory = false;
  m_source = source;
  m_buf.assign(2 * (kDecodeFrames + 1), 0.0f);
  m_data = m_buf.data();
  m_frames = 0;
}

void CO2DAudioVoice::Start(bool loop, uint64_t start) {
  m_loop = loop;
  m_ended = false;
  m_state = State::Playing;
  m_gainsValid = false;
  if (m_memory) {
    m_pos = start << 32;
  } else {
    m_pos = 0;
    m_frames = 0;
    m_sourceEnded = false;
  }
}

void CO2DAudioVoice::Continue(bool loop) {
  m_loop = loop;
  m_state = State::Playing;
}

void CO2DAudioVoice::Stop() {
  m_state = State::Stopped;
  m_freq.sliding = m_vol.sliding = m_pan.sliding = false;
  m_stopAfterFade = false;
  m_gainsValid = false;
}

void CO2DAudioVoice::Pause() {
  if (m_state == State::Playing) m_state = State::Paused;
}

void CO2DAudioVoice::Resume() {
  if (m_state == State::Paused) m_state = State::Playing;
}

int CO2DAudioVoice::Status() const {
  switch (m_state) {
    case State::Playing:
      return O2DAUDIO_PLAYING;
    case State::Paused:
      return O2DAUDIO_PAUSED;
    default:
      return O2DAUDIO_STOPPED;
  }
}

void CO2DAudioVoice::SetDefaults() {
  m_freq.Set(static_cast<float>(m_nativeRate));
  m_vol.Set(100.0f);
  m_pan.Set(0.0f);
  m_stopAfterFade = false;
}

void CO2DAudioVoice::SetAttributes(int freq, int volume, int pan) {
  if (freq != -1) m_freq.Set(freq == 0 ? static_cast<float>(m_nativeRate) : std::clamp(static_cast<float>(freq), kMinFreq, kMaxFreq));
  if (volume != -1) {
    m_vol.Set(static_cast<float>(std::clamp(volume, 0, 100)));
    m_stopAfterFade = false;
  }
  if (pan != -101) m_pan.Set(static_cast<float>(std::clamp(pan, -100, 100)));
}

void CO2DAudioVoice::SlideAttributes(int freq, int volume, int pan, int timeMs) {
  // A channel that does not play would never get to the end of its slide.
  if (timeMs <= 0 || m_state == State::Stopped) {
    SetAttributes(freq, volume == -2 ? 0 : volume, pan);
    if (volume == -2) Stop();
    return;
  }
  const int64_t frames = std::max<int64_t>(1, static_cast<int64_t>(timeMs) * m_outRate / 1000);
  if (freq != -1)
    m_freq.Slide(freq == 0 ? static_cast<float>(m_nativeRate) : std::clamp(static_cast<float>(freq), kMinFreq, kMaxFreq), frames);
  if (volume != -1) {
    m_vol.Slide(volume == -2 ? 0.0f : static_cast<float>(std::clamp(volume, 0, 100)), frames);
    m_stopAfterFade = volume == -2;
  }
  if (pan != -101) m_pan.Slide(static_cast<float>(std::clamp(pan, -100, 100)), frames);
}

void CO2DAudioVoice::GetAttributes(int* freq, int* volume, int* pan) const {
  if (freq) *freq = static_cast<int>(std::lround(m_freq.value));
  if (volume) *volume = static_cast<int>(std::lround(m_vol.value));
  if (pan) *pan = static_cast<int>(std::lround(m_pan.value));
}

uint32_t CO2DAudioVoice::Level() const {
  if (m_state != State::Playing) return 0;
  return static_cast<uint32_t>(m_levelL) | (static_cast<uint32_t>(m_levelR) << 16);
}

void CO2DAudioVoice::EndBlock() {
  m_levelL = PeakToLevel(m_peakL);
  m_levelR = PeakToLevel(m_peakR);
  m_peakL = m_peakR = 0.0f;
}

void CO2DAudioVoice::Gains(float group, float* left, float* right) const {
  const float vol = m_vol.value * 0.01f * group;
  const float pan = m_pan.value * 0.01f;
  *left = pan > 0.0f ? vol * (1.0f - pan) : vol;
  *right = pan < 0.0f ? vol * (1.0f + pan) : vol;
}

void CO2DAudioVoice::Render(float* mix, int frames, float group) {
  if (m_state != State::Playing || frames <= 0) return;
  float gl0, gr0;
  if (m_gainsValid) {
    gl0 = m_gainL;
    gr0 = m_gainR;
  } else {
    Gains(group, &gl0, &gr0);
  }
  const uint64_t step = static_cast<uint64_t>(static_cast<double>(m_freq.value) / m_outRate * 4294967296.0);
  m_freq.Advance(frames);
  m_pan.Advance(frames);
  const bool faded = m_vol.Advance(frames) && m_stopAfterFade;
  float gl1, gr1;
  Gains(group, &gl1, &gr1);
  // Gains ramp across the block so that volume and pan changes do not click.
  const int made = Resample(mix, frames, gl0, gr0, (gl1 - gl0) / frames, (gr1 - gr0) / frames, step);
  m_gainL = gl1;
  m_gainR = gr1;
  m_gainsValid = true;
  if (made < frames) {
    m_ended = true;
    Stop();
  } else if (faded) {
    Stop();
  }
}

int CO2DAudioVoice::Resample(float* mix, int frames, float gl, float gr, float dgl, float dgr, uint64_t step) {
  constexpr float kFrac = 1.0f / 4294967296.0f;
  int done = 0;
  float pkL = m_peakL, pkR = m_peakR;
  while (done < frames) {
    const uint64_t idx = m_pos >> 32;
    if (static_cast<int64_t>(idx) + 1 < m_frames) {
      // Both interpolation points lie in the data held: the fast run.
      const uint64_t limit = static_cast<uint64_t>(m_frames - 1) << 32;
      const uint64_t can = (limit - m_pos + step - 1) / step;
      const int run = static_cast<int>(std::min<uint64_t>(can, static_cast<uint64_t>(frames - done)));
      const float* d = m_data;
      float* out = mix + 2 * done;
      uint64_t pos = m_pos;
      for (int k = 0; k < run; ++k) {
        const float* a = d + 2 * (pos >> 32);
        const float f = static_cast<float>(static_cast<uint32_t>(pos)) * kFrac;
        const float l = a[0] + (a[2] - a[0]) * f;
        const float r = a[1] + (a[3] - a[1]) * f;
        pkL = std::max(pkL, std::fabs(l));
        pkR = std::max(pkR, std::fabs(r));
        out[2 * k] += l * gl;
        out[2 * k + 1] += r * gr;
        gl += dgl;
        gr += dgr;
        pos += step;
      }
      m_pos = pos;
      done += run;
      continue;
    }
    if (!m_memory) {
      if (Refill()) continue;
    } else if (m_loop && m_frames > 0 && static_cast<int64_t>(idx) >= m_frames) {
      m_pos -= ((idx / static_cast<uint64_t>(m_frames)) * static_cast<uint64_t>(m_frames)) << 32;
      continue;
    }
    if (m_frames > 0 && static_cast<int64_t>(idx) == m_frames - 1) {
      // The last frame held leads into the first one of a looping sample, else into silence.
      const float* a = m_data + 2 * idx;
      const bool wrap = m_memory && m_loop;
      const float bl = wrap ? m_data[0] : 0.0f;
      const float br = wrap ? m_data[1] : 0.0f;
      const float f = static_cast<float>(static_cast<uint32_t>(m_pos)) * kFrac;
      const float l = a[0] + (bl - a[0]) * f;
      const float r = a[1] + (br - a[1]) * f;
      pkL = std::max(pkL, std::fabs(l));
      pkR = std::max(pkR, std::fabs(r));
      mix[2 * done] += l * gl;
      mix[2 * done + 1] += r * gr;
      gl += dgl;
      gr += dgr;
      m_pos += step;
      ++done;
      continue;
    }
    break;
  }
  m_peakL = pkL;
  m_peakR = pkR;
  return done;
}

bool CO2DAudioVoice::Refill() {
  if (m_sourceEnded || !m_source) return false;
  int64_t keep = 0;
  if (m_frames > 0) {
    m_buf[0] = m_buf[2 * (m_frames - 1)];
    m_buf[1] = m_buf[2 * (m_frames - 1) + 1];
    m_pos -= static_cast<uint64_t>(m_frames - 1) << 32;
    keep = 1;
  }
  const int n = m_source->Read(m_buf.data() + 2 * keep, kDecodeFrames, m_loop);
  m_frames = keep + std::max(0, n);
  if (n <= 0) {
    m_sourceEnded = true;
    return false;
  }
  return true;
}
