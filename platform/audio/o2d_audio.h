#pragma once
// The audio back end: output, samples, streams, module music and channels.
//
// Calls come from the engine's thread. With an output device the mix runs on
// SDL's audio thread (its callback), so a long frame never starves the output;
// on the render device the caller pulls it with Mix(). The calls and the mixer
// share the voices under one lock, held only for short table and voice updates:
// files are read and decoded, and freed, outside it. Slides, fades and the end
// of a sound advance with the mixed time only.
//
// Calls that can fail return false or a null handle (0); ErrorGetCode() then
// tells why. A call that succeeds sets the code to O2DAUDIO_OK.
//
// Attribute values: frequency in Hz (100..200000; 0 = the source's own rate,
// -1 = unchanged), volume 0..100 (-1 = unchanged; in a slide -2 = fade to
// silence, then stop), pan -100 (left) .. 100 (right) (-101 = unchanged).
// Values outside the ranges are clamped.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

// Handles of samples, sample playbacks (channels), streams and music. 0 = none.
using O2DHANDLE = uint32_t;

// Devices for Init().
constexpr int O2DAUDIO_DEVICE_DEFAULT = -1;  // the default SDL output device
constexpr int O2DAUDIO_DEVICE_SILENT = -2;   // no output: loads work, nothing ever plays
constexpr int O2DAUDIO_DEVICE_RENDER = -3;   // no output device: the caller pulls the mix with Mix()

// Flags.
constexpr uint32_t O2DAUDIO_LOOP = 4;                 // StreamPlay, MusicPlayEx
constexpr uint32_t O2DAUDIO_SAMPLE_OVER_POS = 0x20000;  // SampleLoad: take over the longest playing

// Channel status, from ChannelIsActive().
constexpr int O2DAUDIO_STOPPED = 0;
constexpr int O2DAUDIO_PLAYING = 1;
constexpr int O2DAUDIO_STALLED = 2;  // never reported: decoding is synchronous
constexpr int O2DAUDIO_PAUSED = 3;

// Error codes (ErrorGetCode).
constexpr int O2DAUDIO_OK = 0;
constexpr int O2DAUDIO_ERROR_MEM = 1;        // out of memory, or the data is too big
constexpr int O2DAUDIO_ERROR_FILEOPEN = 2;   // cannot open the file, or the range lies outside it
constexpr int O2DAUDIO_ERROR_DRIVER = 3;     // no audio output could be opened
constexpr int O2DAUDIO_ERROR_HANDLE = 5;     // unknown handle, or not of the right kind
constexpr int O2DAUDIO_ERROR_POSITION = 7;   // start position outside the sound
constexpr int O2DAUDIO_ERROR_INIT = 8;       // Init() has not been called
constexpr int O2DAUDIO_ERROR_ALREADY = 14;   // Init() twice
constexpr int O2DAUDIO_ERROR_NOCHAN = 18;    // all playbacks of a no-override sample are busy
constexpr int O2DAUDIO_ERROR_ILLPARAM = 20;  // invalid parameter (output frequency)
constexpr int O2DAUDIO_ERROR_DEVICE = 23;    // unknown device number
constexpr int O2DAUDIO_ERROR_FILEFORM = 41;  // not a sound or module this back end decodes
constexpr int O2DAUDIO_ERROR_UNKNOWN = -1;

class CO2DAudioSource;
class CO2DAudioVoice;

class CO2DAudio {
 public:
  CO2DAudio();
  ~CO2DAudio();
  CO2DAudio(const CO2DAudio&) = delete;
  CO2DAudio& operator=(const CO2DAudio&) = delete;

  // Output. Init opens the device (stereo 16-bit at `frequency`, 8000..192000 Hz);
  // the output runs after Start(). Pause() holds the output and every channel
  // where it is; Start() goes on. Stop() stops the output and every channel.
  // Free() closes the device and frees every sample, stream and music.
  bool Init(int device, uint32_t frequency);
  bool Free();
  bool Start();
  bool Pause();
  bool Stop();

  // Global volumes 0..100 (-1 = unchanged), multiplying every channel of the kind.
  bool SetGlobalVolumes(int music, int sample, int stream);
  void GetGlobalVolumes(int* music, int* sample, int* stream) const;
  // Time spent mixing as a percentage of the time mixed (0 on the silent device).
  float GetCPU() const;
  int ErrorGetCode() const { return m_error; }
  uint32_t GetFrequency() const { return m_rate; }
  bool IsSilent() const { return m_silent; }

  // Samples: decoded into memory from the byte range [offset, offset + length)
  // of the file (length 0 = to the end of the file), with up to `maxPlaybacks`
  // simultaneous playbacks. When all are busy, a play takes over the one playing
  // longest with O2DAUDIO_SAMPLE_OVER_POS in `flags`, else it fails.
  O2DHANDLE SampleLoad(const std::string& path, uint64_t offset, uint64_t length,
                       uint32_t maxPlaybacks, uint32_t flags);
  bool SampleFree(O2DHANDLE sample);
  // Starts a playback `start` frames into the sample; returns its channel handle.
  // Frequency -1 or 0, volume -1 and pan -101 give the sample's defaults (its
  // own rate, 100, centre).
  O2DHANDLE SamplePlayEx(O2DHANDLE sample, uint32_t start, int freq, int volume, int pan, bool loop);
  bool SampleStop(O2DHANDLE sample);

  // Streams: decoded from the file range while they play; one playback each.
  O2DHANDLE StreamCreateFile(const std::string& path, uint64_t offset, uint64_t length);
  // flush: from the beginning; otherwise on from where the stream stopped.
  // Attributes are kept from before.
  bool StreamPlay(O2DHANDLE stream, bool flush, uint32_t flags);
  bool StreamFree(O2DHANDLE stream);

  // Music: a module (MOD, XM, S3M, IT, ...) rendered by libxmp, or any sound
  // file streams accept. The range is read into memory.
  O2DHANDLE MusicLoad(const std::string& path, uint64_t offset, uint64_t length);
  // Plays from order `position` (frame for sound files); reset also clears the
  // player's state (tempo, notes still sounding). Attributes are kept from before.
  bool MusicPlayEx(O2DHANDLE music, uint32_t position, uint32_t flags, bool reset);
  bool MusicFree(O2DHANDLE music);

  // Channels: a channel handle, a stream, a music, or a sample (then the
  // operation applies to all its current playbacks).
  bool ChannelSetAttributes(O2DHANDLE handle, int freq, int volume, int pan);
  bool ChannelGetAttributes(O2DHANDLE handle, int* freq, int* volume, int* pan);
  // Slides to the values over `timeMs` of mixed time (<= 0: at once); a volume
  // of -2 fades to silence and then stops the channel. A channel that is not
  // playing takes the end values at once.
  bool ChannelSlideAttributes(O2DHANDLE handle, int freq, int volume, int pan, int timeMs);
  // O2DAUDIO_STOPPED (also for an unknown handle), _PLAYING or _PAUSED.
  int ChannelIsActive(O2DHANDLE handle);
  // Peak levels of the last mixed block, before volume and pan: left in the low
  // 16 bits, right in the high 16 bits, each 0..32768; 0 while not playing;
  // 0xFFFFFFFF for an unknown handle.
  uint32_t ChannelGetLevel(O2DHANDLE handle);
  bool ChannelStop(O2DHANDLE handle);
  // Pausing a channel that is not playing and resuming one that is not paused
  // succeed and change nothing.
  bool ChannelPause(O2DHANDLE handle);
  bool ChannelResume(O2DHANDLE handle);

  // Mixes `frames` stereo frames into `out` (interleaved left, right) and
  // advances every channel: the render device's output. Silence, with nothing
  // advancing, while the output is not started or on the silent device.
  void Mix(int16_t* out, int frames);

 private:
  struct SSample;
  struct SDecoded;  // a stream or a music: a decoder and its voice
  using DecodedTable = std::unordered_map<O2DHANDLE, std::unique_ptr<SDecoded>>;

  bool Fail(int code);
  bool Ok();
  bool CheckInit();
  O2DHANDLE NewHandle(uint32_t kind);
  // Runs `each` on the voices a channel operation addresses, under the lock,
  // and succeeds; false (and the handle error) for an unknown handle. For a
  // sample: its playing and paused playbacks.
  template <typename Each>
  bool ForVoices(O2DHANDLE handle, Each each);
  // A stream or a music into its table and the mix, room made first so that
  // nothing throws once it is in; and out again, closed once the lock is let go.
  O2DHANDLE AddDecoded(DecodedTable& table, uint32_t kind, std::unique_ptr<SDecoded> entry);
  bool FreeDecoded(DecodedTable& table, O2DHANDLE handle);
  void StopAll();
  void RemoveVoice(CO2DAudioVoice* voice);
  void ClearAll();
  // The mix itself, with the lock held; SDL's audio thread calls it through
  // OutputCallback.
  void MixLocked(int16_t* out, int frames);
  static void OutputCallback(void* self, uint8_t* stream, int len);

  bool m_init = false;
  bool m_silent = false;
  bool m_started = false;
  int m_error = O2DAUDIO_OK;
  uint32_t m_rate = 0;
  uint32_t m_device = 0;  // SDL_AudioDeviceID, 0 = none
  bool m_sdlAudio = false;
  uint32_t m_nextSerial = 1;
  uint64_t m_playSerial = 0;
  int m_volMusic = 100, m_volSample = 100, m_volStream = 100;

  std::unordered_map<O2DHANDLE, std::unique_ptr<SSample>> m_samples;
  DecodedTable m_streams;
  DecodedTable m_musics;
  // channel handle -> (sample, playback slot)
  std::unordered_map<O2DHANDLE, std::pair<SSample*, uint32_t>> m_channels;
  std::vector<CO2DAudioVoice*> m_voices;  // every voice, in the order they were made

  // Guards everything the mixer reads or writes: the voices and m_voices, the
  // started flag, the global volumes, the mix buffer and the load figures.
  // No SDL audio call is made while it is held: SDL holds its own device lock
  // around the callback, which takes this one.
  mutable std::mutex m_lock;
  std::vector<float> m_mixBuf;
  double m_cpuMixSeconds = 0.0;
  int64_t m_cpuFrames = 0;
  float m_cpu = 0.0f;
};
