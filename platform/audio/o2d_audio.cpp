#include "o2d_audio.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>

#include "o2d_audio_source.h"
#include "o2d_audio_voice.h"

namespace {

enum : uint32_t { kKindSample = 1, kKindChannel = 2, kKindStream = 3, kKindMusic = 4 };
uint32_t KindOf(O2DHANDLE h) { return h >> 28; }

constexpr int kBlockFrames = 256;    // slides and gain ramps step per block
constexpr int kDeviceFrames = 1024;  // frames SDL asks the callback for at a time
constexpr uint32_t kMaxPlaybacks = 1024;

}  // namespace

struct CO2DAudio::SSample {
  std::vector<float> data;  // stereo frames
  int64_t frames = 0;
  uint32_t rate = 0;
  bool takeOver = false;
  std::vector<std::unique_ptr<CO2DAudioVoice>> playbacks;
  std::vector<O2DHANDLE> channels;  // the channel handle each playback slot last got
  std::vector<uint64_t> started;    // when each slot last started (play serial)
};

struct CO2DAudio::SDecoded {
  std::unique_ptr<CO2DAudioSource> source;
  std::unique_ptr<CO2DAudioVoice> voice;
};

CO2DAudio::CO2DAudio() = default;

CO2DAudio::~CO2DAudio() {
  if (m_init) Free();
}

bool CO2DAudio::Fail(int code) {
  m_error = code;
  return false;
}

bool CO2DAudio::Ok() {
  m_error = O2DAUDIO_OK;
  return true;
}

bool CO2DAudio::CheckInit() { return m_init || Fail(O2DAUDIO_ERROR_INIT); }

O2DHANDLE CO2DAudio::NewHandle(uint32_t kind) {
  for (;;) {
    const uint32_t serial = m_nextSerial++ & 0x0FFFFFFFu;
    if (serial == 0) continue;
    const O2DHANDLE h = (kind << 28) | serial;
    if (!m_samples.count(h) && !m_channels.count(h) && !m_streams.count(h) && !m_musics.count(h)) return h;
  }
}

// ---- output -----------------------------------------------------------------

bool CO2DAudio::Init(int device, uint32_t frequency) {
  if (m_init) return Fail(O2DAUDIO_ERROR_ALREADY);
  if (frequency < 8000 || frequency > 192000) return Fail(O2DAUDIO_ERROR_ILLPARAM);
  if (device != O2DAUDIO_DEVICE_DEFAULT && device != O2DAUDIO_DEVICE_SILENT && device != O2DAUDIO_DEVICE_RENDER)
    return Fail(O2DAUDIO_ERROR_DEVICE);
  // Everything the callback reads is set before the device exists.
  m_silent = device == O2DAUDIO_DEVICE_SILENT;
  m_rate = frequency;
  m_started = false;
  m_volMusic = m_volSample = m_volStream = 100;
  m_cpu = 0.0f;
  m_cpuMixSeconds = 0.0;
  m_cpuFrames = 0;
  m_mixBuf.assign(2 * kBlockFrames, 0.0f);
  if (device == O2DAUDIO_DEVICE_DEFAULT) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return Fail(O2DAUDIO_ERROR_DRIVER);
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = static_cast<int>(frequency);
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &CO2DAudio::OutputCallback;
    want.userdata = this;
    // No allowed changes: SDL converts to whatever the hardware takes. The
    // device opens paused: the callback runs from Start() on.
    SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (id == 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return Fail(O2DAUDIO_ERROR_DRIVER);
    }
    m_device = id;
    m_sdlAudio = true;
  }
  m_init = true;
  return Ok();
}

bool CO2DAudio::Free() {
  if (!CheckInit()) return false;
  // Closing waits for a callback under way and ends SDL's audio thread.
  if (m_device != 0) {
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
  }
  if (m_sdlAudio) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_sdlAudio = false;
  }
  std::lock_guard lock(m_lock);
  ClearAll();
  m_init = false;
  m_silent = false;
  m_started = false;
  m_cpu = 0.0f;
  return Ok();
}

bool CO2DAudio::Start() {
  if (!CheckInit()) return false;
  {
    std::lock_guard lock(m_lock);
    m_started = true;
  }
  if (m_device != 0) SDL_PauseAudioDevice(m_device, 0);
  return Ok();
}

bool CO2DAudio::Pause() {
  if (!CheckInit()) return false;
  // Once paused, SDL calls the callback no more (it waits for one under way).
  if (m_device != 0) SDL_PauseAudioDevice(m_device, 1);
  std::lock_guard lock(m_lock);
  m_started = false;
  return Ok();
}

bool CO2DAudio::Stop() {
  if (!CheckInit()) return false;
  if (m_device != 0) SDL_PauseAudioDevice(m_device, 1);
  std::lock_guard lock(m_lock);
  m_started = false;
  StopAll();
  return Ok();
}

bool CO2DAudio::SetGlobalVolumes(int music, int sample, int stream) {
  if (!CheckInit()) return false;
  std::lock_guard lock(m_lock);
  if (music != -1) m_volMusic = std::clamp(music, 0, 100);
  if (sample != -1) m_volSample = std::clamp(sample, 0, 100);
  if (stream != -1) m_volStream = std::clamp(stream, 0, 100);
  return Ok();
}

void CO2DAudio::GetGlobalVolumes(int* music, int* sample, int* stream) const {
  std::lock_guard lock(m_lock);
  if (music) *music = m_volMusic;
  if (sample) *sample = m_volSample;
  if (stream) *stream = m_volStream;
}

float CO2DAudio::GetCPU() const {
  std::lock_guard lock(m_lock);
  return m_init && !m_silent ? m_cpu : 0.0f;
}

void CO2DAudio::StopAll() {
  for (CO2DAudioVoice* v : m_voices) v->Stop();
}

void CO2DAudio::RemoveVoice(CO2DAudioVoice* voice) {
  m_voices.erase(std::remove(m_voices.begin(), m_voices.end(), voice), m_voices.end());
}

void CO2DAudio::ClearAll() {
  m_channels.clear();
  m_voices.clear();
  m_samples.clear();
  m_streams.clear();
  m_musics.clear();
}

// ---- samples ----------------------------------------------------------------

O2DHANDLE CO2DAudio::SampleLoad(const std::string& path, uint64_t offset, uint64_t length,
                                uint32_t maxPlaybacks, uint32_t flags) {
  if (!CheckInit()) return 0;
  int err = O2DAUDIO_ERROR_UNKNOWN;
  try {
    auto bytes = CO2DAudioBytes::OpenFile(path, offset, length, &err);
    if (!bytes) return Fail(err), 0;
    auto source = O2DAudioOpenSoundFile(std::move(bytes), &err);
    if (!source) return Fail(err), 0;
    auto s = std::make_unique<SSample>();
    if (!O2DAudioDecodeAll(*source, &s->data, &err)) return Fail(err), 0;
    s->frames = static_cast<int64_t>(s->data.size() / 2);
    s->rate = source->Rate();
    s->takeOver = (flags & O2DAUDIO_SAMPLE_OVER_POS) != 0;
    const uint32_t n = std::clamp<uint32_t>(maxPlaybacks, 1, kMaxPlaybacks);
    s->channels.assign(n, 0);
    s->started.assign(n, 0);
    for (uint32_t i = 0; i < n; ++i) {
      auto v = std::make_unique<CO2DAudioVoice>(O2DVOICE_SAMPLE, m_rate, s->rate);
      v->SetMemory(s->data.data(), s->frames);
      s->playbacks.push_back(std::move(v));
    }
    // Room first: once in the table, the voices join the mix without a throw.
    std::lock_guard lock(m_lock);
    m_voices.reserve(m_voices.size() + n);
    const O2DHANDLE h = NewHandle(kKindSample);
    SSample& added = *m_samples.emplace(h, std::move(s)).first->second;
    for (auto& v : added.playbacks) m_voices.push_back(v.get());
    Ok();
    return h;
  } catch (const std::bad_alloc&) {
    return Fail(O2DAUDIO_ERROR_MEM), 0;
  }
}

bool CO2DAudio::SampleFree(O2DHANDLE sample) {
  if (!CheckInit()) return false;
  std::unique_ptr<SSample> gone;  // freed once the lock is let go
  std::lock_guard lock(m_lock);
  auto it = m_samples.find(sample);
  if (it == m_samples.end()) return Fail(O2DAUDIO_ERROR_HANDLE);
  SSample& s = *it->second;
  for (size_t i = 0; i < s.playbacks.size(); ++i) {
    RemoveVoice(s.playbacks[i].get());
    if (s.channels[i] != 0) m_channels.erase(s.channels[i]);
  }
  gone = std::move(it->second);
  m_samples.erase(it);
  return Ok();
}

O2DHANDLE CO2DAudio::SamplePlayEx(O2DHANDLE sample, uint32_t start, int freq, int volume, int pan, bool loop) {
  if (!CheckInit()) return 0;
  std::lock_guard lock(m_lock);
  auto it = m_samples.find(sample);
  if (it == m_samples.end()) return Fail(O2DAUDIO_ERROR_HANDLE), 0;
  SSample& s = *it->second;
  if (start != 0 && static_cast<int64_t>(start) >= s.frames) return Fail(O2DAUDIO_ERROR_POSITION), 0;

  size_t slot = s.playbacks.size();
  for (size_t i = 0; i < s.playbacks.size(); ++i) {
    if (!s.playbacks[i]->IsActive()) {
      slot = i;
      break;
    }
  }
  if (slot == s.playbacks.size()) {
    if (!s.takeOver) return Fail(O2DAUDIO_ERROR_NOCHAN), 0;
    slot = static_cast<size_t>(std::min_element(s.started.begin(), s.started.end()) - s.started.begin());
  }
  if (s.channels[slot] != 0) m_channels.erase(s.channels[slot]);

  CO2DAudioVoice& v = *s.playbacks[slot];
  v.Stop();
  v.SetDefaults();
  v.SetAttributes(freq, volume, pan);
  if (!m_silent) v.Start(loop, start);
  s.started[slot] = ++m_playSerial;
  const O2DHANDLE ch = NewHandle(kKindChannel);
  s.channels[slot] = ch;
  m_channels.emplace(ch, std::make_pair(&s, static_cast<uint32_t>(slot)));
  Ok();
  return ch;
}

bool CO2DAudio::SampleStop(O2DHANDLE sample) {
  if (!CheckInit()) return false;
  std::lock_guard lock(m_lock);
  auto it = m_samples.find(sample);
  if (it == m_samples.end()) return Fail(O2DAUDIO_ERROR_HANDLE);
  for (auto& v : it->second->playbacks) v->Stop();
  return Ok();
}

// ---- streams and music ------------------------------------------------------

O2DHANDLE CO2DAudio::AddDecoded(DecodedTable& table, uint32_t kind, std::unique_ptr<SDecoded> entry) {
  std::lock_guard lock(m_lock);
  m_voices.reserve(m_voices.size() + 1);
  CO2DAudioVoice* voice = entry->voice.get();
  const O2DHANDLE h = NewHandle(kind);
  table.emplace(h, std::move(entry));
  m_voices.push_back(voice);
  Ok();
  return h;
}

bool CO2DAudio::FreeDecoded(DecodedTable& table, O2DHANDLE handle) {
  if (!CheckInit()) return false;
  std::unique_ptr<SDecoded> gone;  // closed once the lock is let go
  std::lock_guard lock(m_lock);
  auto it = table.find(handle);
  if (it == table.end()) return Fail(O2DAUDIO_ERROR_HANDLE);
  RemoveVoice(it->second->voice.get());
  gone = std::move(it->second);
  table.erase(it);
  return Ok();
}

O2DHANDLE CO2DAudio::StreamCreateFile(const std::string& path, uint64_t offset, uint64_t length) {
  if (!CheckInit()) return 0;
  int err = O2DAUDIO_ERROR_UNKNOWN;
  try {
    auto bytes = CO2DAudioBytes::OpenFile(path, offset, length, &err);
    if (!bytes) return Fail(err), 0;
    auto st = std::make_unique<SDecoded>();
    st->source = O2DAudioOpenSoundFile(std::move(bytes), &err);
    if (!st->source) return Fail(err), 0;
    st->voice = std::make_unique<CO2DAudioVoice>(O2DVOICE_STREAM, m_rate, st->source->Rate());
    st->voice->SetSource(st->source.get());
    return AddDecoded(m_streams, kKindStream, std::move(st));
  } catch (const std::bad_alloc&) {
    return Fail(O2DAUDIO_ERROR_MEM), 0;
  }
}

bool CO2DAudio::StreamPlay(O2DHANDLE stream, bool flush, uint32_t flags) {
  if (!CheckInit()) return false;
  std::lock_guard lock(m_lock);
  auto it = m_streams.find(stream);
  if (it == m_streams.end()) return Fail(O2DAUDIO_ERROR_HANDLE);
  if (m_silent) return Ok();
  SDecoded& st = *it->second;
  const bool loop = (flags & O2DAUDIO_LOOP) != 0;
  if (flush || st.voice->AtEnd()) {
    if (!st.source->Restart(0, false)) return Fail(O2DAUDIO_ERROR_POSITION);
    st.voice->Start(loop);
  } else {
    st.voice->Continue(loop);
  }
  return Ok();
}

bool CO2DAudio::StreamFree(O2DHANDLE stream) { return FreeDecoded(m_streams, stream); }

O2DHANDLE CO2DAudio::MusicLoad(const std::string& path, uint64_t offset, uint64_t length) {
  if (!CheckInit()) return 0;
  int err = O2DAUDIO_ERROR_UNKNOWN;
  try {
    auto bytes = CO2DAudioBytes::OpenFile(path, offset, length, &err);
    if (!bytes) return Fail(err), 0;
    std::vector<uint8_t> data;
    if (!bytes->ReadAll(&data, &err)) return Fail(err), 0;
    auto m = std::make_unique<SDecoded>();
    m->source = O2DAudioOpenModule(data, m_rate, &err);
    if (!m->source && err == O2DAUDIO_ERROR_FILEFORM)
      m->source = O2DAudioOpenSoundFile(CO2DAudioBytes::FromMemory(std::move(data)), &err);
    if (!m->source) return Fail(err), 0;
    m->voice = std::make_unique<CO2DAudioVoice>(O2DVOICE_MUSIC, m_rate, m->source->Rate());
    m->voice->SetSource(m->source.get());
    return AddDecoded(m_musics, kKindMusic, std::move(m));
  } catch (const std::bad_alloc&) {
    return Fail(O2DAUDIO_ERROR_MEM), 0;
  }
}

bool CO2DAudio::MusicPlayEx(O2DHANDLE music, uint32_t position, uint32_t flags, bool reset) {
  if (!CheckInit()) return false;
  std::lock_guard lock(m_lock);
  auto it = m_musics.find(music);
  if (it == m_musics.end()) return Fail(O2DAUDIO_ERROR_HANDLE);
  if (m_silent) return Ok();
  SDecoded& m = *it->second;
  if (!m.source->Restart(position, reset)) return Fail(O2DAUDIO_ERROR_POSITION);
  m.voice->Start((flags & O2DAUDIO_LOOP) != 0);
  return Ok();
}

bool CO2DAudio::MusicFree(O2DHANDLE music) { return FreeDecoded(m_musics, music); }

// ---- channels ---------------------------------------------------------------

template <typename Each>
bool CO2DAudio::ForVoices(O2DHANDLE handle, Each each) {
  if (!CheckInit()) return false;
  std::lock_guard lock(m_lock);
  switch (KindOf(handle)) {
    case kKindSample: {
      auto it = m_samples.find(handle);
      if (it == m_samples.end()) break;
      for (auto& v : it->second->playbacks)
        if (v->IsActive()) each(v.get());
      return Ok();
    }
    case kKindChannel: {
      auto it = m_channels.find(handle);
      if (it == m_channels.end()) break;
      each(it->second.first->playbacks[it->second.second].get());
      return Ok();
    }
    case kKindStream:
    case kKindMusic: {
      const DecodedTable& table = KindOf(handle) == kKindStream ? m_streams : m_musics;
      auto it = table.find(handle);
      if (it == table.end()) break;
      each(it->second->voice.get());
      return Ok();
    }
    default:
      break;
  }
  return Fail(O2DAUDIO_ERROR_HANDLE);
}

bool CO2DAudio::ChannelSetAttributes(O2DHANDLE handle, int freq, int volume, int pan) {
  return ForVoices(handle, [&](CO2DAudioVoice* v) { v->SetAttributes(freq, volume, pan); });
}

bool CO2DAudio::ChannelGetAttributes(O2DHANDLE handle, int* freq, int* volume, int* pan) {
  if (KindOf(handle) != kKindSample)
    return ForVoices(handle, [&](const CO2DAudioVoice* v) { v->GetAttributes(freq, volume, pan); });
  if (!CheckInit()) return false;
  std::lock_guard lock(m_lock);
  auto it = m_samples.find(handle);
  if (it == m_samples.end()) return Fail(O2DAUDIO_ERROR_HANDLE);
  // The playback started last speaks for the sample; with none, its defaults.
  const SSample& s = *it->second;
  const CO2DAudioVoice* last = nullptr;
  uint64_t when = 0;
  for (size_t i = 0; i < s.playbacks.size(); ++i) {
    if (s.playbacks[i]->IsActive() && s.started[i] >= when) {
      when = s.started[i];
      last = s.playbacks[i].get();
    }
  }
  if (last) {
    last->GetAttributes(freq, volume, pan);
    return Ok();
  }
  if (freq) *freq = static_cast<int>(s.rate);
  if (volume) *volume = 100;
  if (pan) *pan = 0;
  return Ok();
}

bool CO2DAudio::ChannelSlideAttributes(O2DHANDLE handle, int freq, int volume, int pan, int timeMs) {
  return ForVoices(handle, [&](CO2DAudioVoice* v) { v->SlideAttributes(freq, volume, pan, timeMs); });
}

// Playing wins over paused, which wins over stopped; an unknown handle is stopped.
int CO2DAudio::ChannelIsActive(O2DHANDLE handle) {
  int status = O2DAUDIO_STOPPED;
  ForVoices(handle, [&](const CO2DAudioVoice* v) {
    const int s = v->Status();
    if (s == O2DAUDIO_PLAYING || (s == O2DAUDIO_PAUSED && status != O2DAUDIO_PLAYING)) status = s;
  });
  return status;
}

uint32_t CO2DAudio::ChannelGetLevel(O2DHANDLE handle) {
  uint32_t left = 0, right = 0;
  const bool found = ForVoices(handle, [&](const CO2DAudioVoice* v) {
    const uint32_t level = v->Level();
    left = std::max(left, level & 0xFFFFu);
    right = std::max(right, level >> 16);
  });
  return found ? left | (right << 16) : 0xFFFFFFFFu;
}

bool CO2DAudio::ChannelStop(O2DHANDLE handle) {
  return ForVoices(handle, [](CO2DAudioVoice* v) { v->Stop(); });
}

bool CO2DAudio::ChannelPause(O2DHANDLE handle) {
  return ForVoices(handle, [](CO2DAudioVoice* v) { v->Pause(); });
}

bool CO2DAudio::ChannelResume(O2DHANDLE handle) {
  return ForVoices(handle, [](CO2DAudioVoice* v) { v->Resume(); });
}

// ---- mixing -----------------------------------------------------------------

void CO2DAudio::OutputCallback(void* self, uint8_t* stream, int len) {
  auto* audio = static_cast<CO2DAudio*>(self);
  std::lock_guard lock(audio->m_lock);
  // The device was opened for 16-bit stereo: 4 bytes a frame.
  audio->MixLocked(reinterpret_cast<int16_t*>(stream), len / 4);
}

void CO2DAudio::Mix(int16_t* out, int frames) {
  std::lock_guard lock(m_lock);
  MixLocked(out, frames);
}

void CO2DAudio::MixLocked(int16_t* out, int frames) {
  if (frames <= 0) return;
  if (!m_init || m_silent || !m_started) {
    std::fill(out, out + 2 * static_cast<size_t>(frames), int16_t{0});
    return;
  }
  const auto t0 = std::chrono::steady_clock::now();
  const float groups[3] = {m_volMusic * 0.01f, m_volSample * 0.01f, m_volStream * 0.01f};
  float* mix = m_mixBuf.data();
  for (int done = 0; done < frames; done += kBlockFrames) {
    const int n = std::min(kBlockFrames, frames - done);
    std::fill(mix, mix + 2 * n, 0.0f);
    for (CO2DAudioVoice* v : m_voices)
      if (v->IsPlaying()) v->Render(mix, n, groups[v->Group()]);
    int16_t* o = out + 2 * static_cast<size_t>(done);
    for (int i = 0; i < 2 * n; ++i)
      o[i] = static_cast<int16_t>(std::lrint(std::clamp(mix[i] * 32768.0f, -32768.0f, 32767.0f)));
  }
  for (CO2DAudioVoice* v : m_voices) v->EndBlock();

  m_cpuMixSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  m_cpuFrames += frames;
  if (m_cpuFrames >= static_cast<int64_t>(m_rate / 4)) {
    m_cpu = static_cast<float>(100.0 * m_cpuMixSeconds * m_rate / static_cast<double>(m_cpuFrames));
    m_cpuMixSeconds = 0.0;
    m_cpuFrames = 0;
  }
}
