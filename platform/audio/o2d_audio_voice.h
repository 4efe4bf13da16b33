#pragma once
// One playing sound: its attributes and their slides, its play state, and the
// linear-interpolation resampler that adds it into the mix.
#include <cstdint>
#include <vector>

class CO2DAudioSource;

// Which global volume a voice follows.
enum EO2DVoiceGroup { O2DVOICE_MUSIC, O2DVOICE_SAMPLE, O2DVOICE_STREAM };

class CO2DAudioVoice {
 public:
  // nativeRate: the rate of the sound's data (frequency 0 and the default).
  CO2DAudioVoice(EO2DVoiceGroup group, uint32_t outRate, uint32_t nativeRate);

  // The data: a sample in memory (stereo frames), or a decoder that the voice
  // pulls from while it plays (streams and music).
  void SetMemory(const float* stereo, int64_t frames);
  void SetSource(CO2DAudioSource* source);

  // Plays from memory frame `start`, or from wherever the decoder stands.
  void Start(bool loop, uint64_t start = 0);
  // Plays on from where the voice stopped (a decoder that had ended restarts).
  bool AtEnd() const { return m_ended; }
  void Continue(bool loop);
  void Stop();
  void Pause();
  void Resume();
  int Status() const;
  bool IsPlaying() const { return m_state == State::Playing; }
  bool IsActive() const { return m_state != State::Stopped; }
  EO2DVoiceGroup Group() const { return m_group; }

  // Values as in CO2DAudio: -1 / -101 leave an attribute alone.
  void SetDefaults();
  void SetAttributes(int freq, int volume, int pan);
  void SlideAttributes(int freq, int volume, int pan, int timeMs);
  void GetAttributes(int* freq, int* volume, int* pan) const;
  // Peaks of the last block: left low 16 bits, right high 16 bits.
  uint32_t Level() const;

  // Adds `frames` frames (interleaved stereo) into `mix`, scaled by the global
  // volume `group` (0..1), and advances the slides by that time.
  void Render(float* mix, int frames, float group);
  // Ends a mixed block: its peaks become the level.
  void EndBlock();

 private:
  enum class State { Stopped, Playing, Paused };
  struct SAttr {
    float value = 0.0f;
    float from = 0.0f;
    float to = 0.0f;
    int64_t total = 0;
    int64_t elapsed = 0;
    bool sliding = false;
    void Set(float v) {
      value = v;
      sliding = false;
    }
    void Slide(float target, int64_t frames);
    // Moves the slide on by `frames`; true when it reached its end.
    bool Advance(int64_t frames);
  };

  void Gains(float group, float* left, float* right) const;
  // Resamples into mix; returns the frames made (fewer when the data ended).
  int Resample(float* mix, int frames, float gl, float gr, float dgl, float dgr, uint64_t step);
  bool Refill();

  EO2DVoiceGroup m_group;
  uint32_t m_outRate;
  uint32_t m_nativeRate;
  State m_state = State::Stopped;
  bool m_loop = false;
  bool m_ended = false;  // the data ran out (not looping)

  SAttr m_freq, m_vol, m_pan;
  bool m_stopAfterFade = false;

  const float* m_data = nullptr;  // memory sample, or m_buf
  int64_t m_frames = 0;           // frames held at m_data
  bool m_memory = false;
  CO2DAudioSource* m_source = nullptr;
  std::vector<float> m_buf;  // decoded frames; frame 0 carries over the last frame held
  bool m_sourceEnded = false;
  uint64_t m_pos = 0;  // 32.32 fixed point, frames into m_data

  bool m_gainsValid = false;
  float m_gainL = 0.0f, m_gainR = 0.0f;
  float m_peakL = 0.0f, m_peakR = 0.0f;
  uint16_t m_levelL = 0, m_levelR = 0;
};
