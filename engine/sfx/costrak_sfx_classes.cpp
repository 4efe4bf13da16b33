#include "costrak_sfx_classes.h"

#include <utility>

#include "costrak_ehs.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SFX_CLASSES;

namespace {
constexpr uint32_t kLevelUnknown = 0xFFFFFFFFu;
constexpr float kLevelScale = 0.0078125f;  // 1/128
}  // namespace

// --- sound effects -----------------------------------------------------------

SoundObject::SoundObject(CO2DAudio& audio, std::string file, bool isStream, int32_t maxPlaybacks, bool noOverride,
                         uint32_t offset, uint32_t length)
    : m_audio(audio),
      m_bIsStream(isStream),
      m_iMaxPlaybacks(maxPlaybacks),
      m_bNoOverride(noOverride),
      m_strFile(std::move(file)),
      m_uOffset(offset),
      m_uLength(length) {
  EHS_CP();
  if (m_bIsStream) {
    m_hStream = m_audio.StreamCreateFile(m_strFile, m_uOffset, m_uLength);
    if (!m_hStream) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot create stream!");
  } else {
    // By default a play with every playback busy takes over the one playing longest.
    const uint32_t flags = m_bNoOverride ? 0 : O2DAUDIO_SAMPLE_OVER_POS;
    m_hSample = m_audio.SampleLoad(m_strFile, m_uOffset, m_uLength, static_cast<uint32_t>(m_iMaxPlaybacks), flags);
    if (!m_hSample) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot load sample!");
  }
}

SoundObject::~SoundObject() {
  if (m_hSample) {
    m_audio.SampleStop(m_hSample);
    m_audio.SampleFree(m_hSample);
  }
  if (m_hStream) {
    m_audio.ChannelStop(m_hStream);
    m_audio.StreamFree(m_hStream);
  }
}

void SoundObject::Play(bool loop, int32_t freq, int32_t volume, int32_t pan) {
  EHS_CP();
  if (!m_bIsStream) {
    // The playback's channel handle is not kept: the sample addresses them all.
    if (!m_audio.SamplePlayEx(m_hSample, 0, freq, volume, pan, loop))
      EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot playback sample!");
    return;
  }
  if (!m_audio.StreamPlay(m_hStream, true, loop ? O2DAUDIO_LOOP : 0))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot play stream!");
  // A stream keeps its attributes between plays unless new ones are given.
  if (freq == -1 && volume == -1 && pan == -101) return;
  if (!m_audio.ChannelSetAttributes(m_hStream, freq, volume, pan))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot set stream attributes!");
}

void SoundObject::Stop() {
  EHS_CP();
  if (!m_bIsStream) {
    if (!m_audio.SampleStop(m_hSample)) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot stop sample!");
  } else {
    if (!m_audio.ChannelStop(m_hStream)) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot stop stream!");
  }
}

void SoundObject::Pause() {
  EHS_CP();
  if (m_bPaused) return;
  if (!m_audio.ChannelPause(GetHandle()))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), m_bIsStream ? "Cannot pause stream!" : "Cannot pause sample!");
  m_bPaused = true;
}

void SoundObject::Resume() {
  EHS_CP();
  if (!m_bPaused) return;
  if (!m_audio.ChannelResume(GetHandle()))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(),
              m_bIsStream ? "Cannot resume playback of stream!" : "Cannot resume playback of sample!");
  m_bPaused = false;
}

void SoundObject::SetAttributes(int32_t freq, int32_t volume, int32_t pan) {
  EHS_CP();
  if (!m_audio.ChannelSetAttributes(GetHandle(), freq, volume, pan))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(),
              m_bIsStream ? "Cannot set attributes of stream!" : "Cannot set attributes of sample!");
}

void SoundObject::SlideAttributes(int32_t freq, int32_t volume, int32_t pan, int32_t time) {
  EHS_CP();
  if (!m_audio.ChannelSlideAttributes(GetHandle(), freq, volume, pan, time))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(),
              m_bIsStream ? "Cannot slide attributes of stream!" : "Cannot slide attributes of sample!");
}

int32_t SoundObject::GetStatus() {
  EHS_CP();
  return m_audio.ChannelIsActive(GetHandle());
}

// --- music pieces ------------------------------------------------------------

IO2DMusic::IO2DMusic(CO2DAudio& audio, std::string file, uint32_t offset, uint32_t length)
    : m_audio(audio), m_strFile(std::move(file)), m_uOffset(offset), m_uLength(length) {}

void IO2DMusic::Load() {
  EHS_CP();
  m_hMusic = m_audio.MusicLoad(m_strFile, m_uOffset, m_uLength);
  if (!m_hMusic) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot load music!");
}

void IO2DMusic::PlayFromStart(bool loop) {
  EHS_CP();
  if (!m_audio.MusicPlayEx(m_hMusic, 0, loop ? O2DAUDIO_LOOP : 0, true))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot start music playback!");
}

void IO2DMusic::FadeOut(int32_t fadeTime) {
  EHS_CP();
  // Volume -2: fade to silence, then the back end stops the channel.
  if (!m_audio.ChannelSlideAttributes(m_hMusic, -1, -2, -101, fadeTime))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot slide music attributes for smooth fading!");
}

void IO2DMusic::StopChannel() {
  EHS_CP();
  if (!m_audio.ChannelStop(m_hMusic)) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot stop music playback!");
}

void IO2DMusic::Pause() {
  EHS_CP();
  if (!m_bPlaying || m_bPaused) return;
  if (!m_audio.ChannelPause(m_hMusic)) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot pause music playback!");
  m_bPaused = true;
}

void IO2DMusic::Resume() {
  EHS_CP();
  if (!m_bPlaying || !m_bPaused) return;
  if (!m_audio.ChannelResume(m_hMusic))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot resume music playback!");
  m_bPaused = false;
}

void IO2DMusic::SetVolume(int32_t volume, int32_t time) {
  EHS_CP();
  if (!m_bPlaying || m_bPaused) return;
  if (!m_audio.ChannelSlideAttributes(m_hMusic, -1, volume, -101, time))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot slide music volume!");
}

uint32_t IO2DMusic::Level() {
  if (!m_bPlaying || m_bPaused) return 0;
  const uint32_t level = m_audio.ChannelGetLevel(m_hMusic);
  return level == kLevelUnknown ? 0 : level;
}

float IO2DMusic::GetLevelLeft() { return static_cast<float>(Level() & 0xFFFFu) * kLevelScale; }
float IO2DMusic::GetLevelRight() { return static_cast<float>(Level() >> 16) * kLevelScale; }

O2DMusic::O2DMusic(CO2DAudio& audio, std::string file, uint32_t offset, uint32_t length)
    : IO2DMusic(audio, std::move(file), offset, length) {}

O2DMusic::~O2DMusic() {
  if (m_hMusic) {
    m_audio.ChannelStop(m_hMusic);
    m_audio.MusicFree(m_hMusic);
  }
}

void O2DMusic::Free() {
  m_audio.MusicFree(m_hMusic);
  m_hMusic = 0;
  m_bPlaying = false;
  m_bPaused = false;
}

void O2DMusic::Play(bool loop) {
  EHS_CP();
  if (m_bPlaying) return;
  Load();
  m_bPlaying = true;
  PlayFromStart(loop);
}

void O2DMusic::Stop(int32_t fadeTime) {
  EHS_CP();
  if (!m_bPlaying) return;
  if (fadeTime == 0) {
    StopChannel();
    Free();
    return;
  }
  // Stays playing until the back end has ended the fade; GetStatus frees it then.
  FadeOut(fadeTime);
}

int32_t O2DMusic::GetStatus() {
  EHS_CP();
  if (!m_bPlaying) return O2DAUDIO_STOPPED;
  const int32_t status = m_audio.ChannelIsActive(m_hMusic);
  if (status == O2DAUDIO_STOPPED) {
    StopChannel();
    Free();
  }
  return status;
}

O2DPreloadedMusic::O2DPreloadedMusic(CO2DAudio& audio, std::string file, uint32_t offset, uint32_t length)
    : IO2DMusic(audio, std::move(file), offset, length) {
  EHS_CP();
  Load();
  m_bPlaying = true;  // for a preloaded piece: loaded
}

O2DPreloadedMusic::~O2DPreloadedMusic() {
  if (m_hMusic) {
    m_audio.ChannelStop(m_hMusic);
    m_audio.MusicFree(m_hMusic);
  }
}

void O2DPreloadedMusic::Play(bool loop) {
  EHS_CP();
  PlayFromStart(loop);
  if (!m_audio.ChannelSlideAttributes(m_hMusic, 0, 100, -101, 100))
    EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot set music params!");
}

void O2DPreloadedMusic::Stop(int32_t fadeTime) {
  EHS_CP();
  if (fadeTime == 0)
    StopChannel();
  else
    FadeOut(fadeTime);
}

int32_t O2DPreloadedMusic::GetStatus() {
  EHS_CP();
  if (!m_bPlaying) return O2DAUDIO_STOPPED;
  return m_audio.ChannelIsActive(m_hMusic);
}
