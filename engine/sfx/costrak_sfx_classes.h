#pragma once
// The items of the sound subsystem: sound effects, music pieces and playlists.
// Each sound and music object holds its handles in the engine's audio back end,
// which outlives every item (the engine frees the items before the output).
#include <cstdint>
#include <string>
#include <vector>

#include "o2d_audio.h"

// One loaded sound effect: a sample (decoded into memory, several playbacks at
// once) or a stream (decoded while it plays, one playback). Channel operations
// on a sample address all of its current playbacks. Failures of the back end are
// General errors carrying its error code.
class SoundObject {
 public:
  SoundObject(CO2DAudio& audio, std::string file, bool isStream, int32_t maxPlaybacks, bool noOverride,
              uint32_t offset, uint32_t length);
  ~SoundObject();  // stops and frees the sample or stream
  SoundObject(const SoundObject&) = delete;
  SoundObject& operator=(const SoundObject&) = delete;

  void Play(bool loop, int32_t freq, int32_t volume, int32_t pan);
  void Stop();  // leaves the paused mark as it is
  void Pause();
  void Resume();
  void SetAttributes(int32_t freq, int32_t volume, int32_t pan);
  void SlideAttributes(int32_t freq, int32_t volume, int32_t pan, int32_t time);
  int32_t GetStatus();

  bool IsStream() const { return m_bIsStream; }
  bool IsPaused() const { return m_bPaused; }
  O2DHANDLE GetHandle() const { return m_bIsStream ? m_hStream : m_hSample; }

 private:
  CO2DAudio& m_audio;
  O2DHANDLE m_hSample = 0;
  O2DHANDLE m_hStream = 0;
  bool m_bIsStream;
  int32_t m_iMaxPlaybacks;
  bool m_bNoOverride;
  std::string m_strFile;
  uint32_t m_uOffset;
  uint32_t m_uLength;
  bool m_bPaused = false;
};

// A music piece. Stop with a fade time slides the volume to silence, after which
// the back end stops the channel by itself; GetStatus then reports 0.
class IO2DMusic {
 public:
  virtual ~IO2DMusic() = default;
  IO2DMusic(const IO2DMusic&) = delete;
  IO2DMusic& operator=(const IO2DMusic&) = delete;

  virtual void Play(bool loop) = 0;
  virtual void Stop(int32_t fadeTime) = 0;
  virtual void Pause();
  virtual void Resume();
  virtual int32_t GetStatus() = 0;
  // Slides the volume (0..100) over `time` ms while the piece plays unpaused.
  virtual void SetVolume(int32_t volume, int32_t time);
  // Peak levels of the last mixed block, 0..256; 0 while not playing or paused.
  virtual float GetLevelLeft();
  virtual float GetLevelRight();

  bool IsPlaying() const { return m_bPlaying; }
  bool IsPaused() const { return m_bPaused; }
  O2DHANDLE GetHandle() const { return m_hMusic; }

 protected:
  IO2DMusic(CO2DAudio& audio, std::string file, uint32_t offset, uint32_t length);
  void Load();          // "Cannot load music!" on failure
  void PlayFromStart(bool loop);
  void FadeOut(int32_t fadeTime);
  void StopChannel();
  uint32_t Level();     // 0 unless playing, unpaused and known to the back end

  CO2DAudio& m_audio;
  O2DHANDLE m_hMusic = 0;
  std::string m_strFile;
  uint32_t m_uOffset;
  uint32_t m_uLength;
  bool m_bPlaying = false;
  bool m_bPaused = false;
};

// Loaded when it starts and freed when it has stopped.
class O2DMusic : public IO2DMusic {
 public:
  O2DMusic(CO2DAudio& audio, std::string file, uint32_t offset, uint32_t length);
  ~O2DMusic() override;
  void Play(bool loop) override;
  void Stop(int32_t fadeTime) override;
  // A piece that ended or finished its fade is freed by the query that sees it.
  int32_t GetStatus() override;

 private:
  void Free();
};

// Loaded once when created and kept until destroyed.
class O2DPreloadedMusic : public IO2DMusic {
 public:
  O2DPreloadedMusic(CO2DAudio& audio, std::string file, uint32_t offset, uint32_t length);
  ~O2DPreloadedMusic() override;
  // Restarts at full volume, undoing an earlier fade-out.
  void Play(bool loop) override;
  void Stop(int32_t fadeTime) override;
  int32_t GetStatus() override;
};

// The music IDs of a playlist, in document order; duplicates stay.
class Playlist {
 public:
  void AddEntry(int32_t musicID) { m_entries.push_back(musicID); }
  const std::vector<int32_t>& GetEntries() const { return m_entries; }

 private:
  std::vector<int32_t> m_entries;
};
