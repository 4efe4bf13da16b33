#include <new>

#include "costrak.h"
#include "costrak_sfx_state.h"
#include "costrak_managers.h"
#include "costrak_utils_csmartid.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SFX_MAIN;

void COstrak::SoundInit(uint32_t frequency) {
  EHS_CP();
  m_bSfxReady = 1;
  LOG_AddSeparator(1);
  LOG_AddEntry("Initializing Sound and Music Subsystem...", 3);
  if (!GfxHasWindow()) EHS_RAISE(EHS_GAME, 0, "Sound and Music system should be initialized after graphics system!");

  m_sfx->bNoSound = false;
  if (!m_sfx->audio.Init(m_sfx->iSoundDevice, frequency)) {
    // No output device: the silent device lets the game run on without sound.
    m_sfx->bNoSound = true;
    const bool silent = m_sfx->audio.Init(O2DAUDIO_DEVICE_SILENT, frequency);
    LOG_AddEntry("No sound card available!", 5);
    if (!silent) EHS_RAISE(EHS_GENERAL, m_sfx->audio.ErrorGetCode(), "Cannot initialize BASS library!");
  }
  if (!m_sfx->audio.Start()) EHS_RAISE(EHS_GENERAL, m_sfx->audio.ErrorGetCode(), "Cannot start digital output!");

  O2D_CREATE_MANAGER(m_sfx->pSoundsManager, "Creating Sounds Manager...", "Cannot create Sounds Manager!");
  O2D_CREATE_MANAGER(m_sfx->pMusicManager, "Creating Music Manager...", "Cannot create Music Manager!");
  O2D_CREATE_MANAGER(m_sfx->pPlaylistsManager, "Creating Playlists Manager...", "Cannot create Playlists Manager!");

  m_sfx->iCurrentMusic = -1;
  m_sfx->iPendingMusic = -1;
  m_sfx->iCurrentPlaylist = -1;
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

void COstrak::SoundShutdown() {
  EHS_CP();
  LOG_AddSeparator(1);
  LOG_AddEntry("Deinitializing Sound and Music Subsystem...", 3);
  // Bound string IDs go back to -1 with their sounds.
  if (m_sfx->pSoundsManager)
    for (int32_t id = 0; id < m_sfx->pSoundsManager->GetCount(); ++id)
      if (m_sfx->pSoundsManager->GetItem(id)) CSmartID::ClearID(id, SMARTID_SOUND);
  O2D_DestroyManager(m_sfx->pSoundsManager, "Destroying Sounds Manager...");
  O2D_DestroyManager(m_sfx->pMusicManager, "Destroying Music Manager...");
  O2D_DestroyManager(m_sfx->pPlaylistsManager, "Destroying Playlists Manager...");
  m_sfx->audio.Stop();
  m_sfx->audio.Free();
  m_sfx->iCurrentMusic = -1;
  m_sfx->iPendingMusic = -1;
  m_sfx->iCurrentPlaylist = -1;
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
  m_bSfxReady = 0;
}

void COstrak::SoundUpdate() {
  EHS_CP();
  if (!m_bSfxReady) return;
  // The output feeds itself on SDL's audio thread; only the music hand-over is left.
  MusicUpdate();
}

void COstrak::SoundSetGlobalVolumes(int32_t effects, int32_t music) {
  EHS_CP();
  // Samples and streams share the effects volume.
  if (!m_sfx->bNoSound) m_sfx->audio.SetGlobalVolumes(music, effects, effects);
}

float COstrak::SoundGetCPU() const { return m_sfx->bNoSound ? 0.0f : m_sfx->audio.GetCPU(); }

void COstrak::SoundPauseOutput() {
  EHS_CP();
  if (!m_sfx->bNoSound) m_sfx->audio.Pause();
}

void COstrak::SoundResumeOutput() {
  EHS_CP();
  if (!m_sfx->bNoSound) m_sfx->audio.Start();
}

void COstrak::SoundSelectDevice(int device) { m_sfx->iSoundDevice = device; }
CO2DAudio& COstrak::SoundGetAudio() { return m_sfx->audio; }
bool COstrak::SoundIsAvailable() const { return m_bSfxReady && !m_sfx->bNoSound; }
void COstrak::SoundSetEffectsOn(bool on) { m_sfx->bEffectsOn = on; }
void COstrak::MusicSetOn(bool on) { m_sfx->bMusicOn = on; }
int32_t COstrak::MusicGetCurrent() const { return m_sfx->iCurrentMusic; }
int32_t COstrak::MusicGetPending() const { return m_sfx->iPendingMusic; }
int32_t COstrak::PlaylistGetCurrent() const { return m_sfx->iCurrentPlaylist; }
