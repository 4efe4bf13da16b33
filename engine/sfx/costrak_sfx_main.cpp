#include <new>

#include "costrak.h"
#include "costrak_managers.h"
#include "costrak_utils_csmartid.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SFX_MAIN;

void COstrak::SoundInit(uint32_t frequency) {
  EHS_CP();
  m_bSfxReady = 1;
  LOG_AddSeparator(1);
  LOG_AddEntry("Initializing Sound and Music Subsystem...", 3);
  if (!GfxHasWindow()) EHS_RAISE(EHS_GAME, 0, "Sound and Music system should be initialized after graphics system!");

  m_bNoSound = false;
  if (!m_audio.Init(m_iSoundDevice, frequency)) {
    // No output device: the silent device lets the game run on without sound.
    m_bNoSound = true;
    const bool silent = m_audio.Init(O2DAUDIO_DEVICE_SILENT, frequency);
    LOG_AddEntry("No sound card available!", 5);
    if (!silent) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot initialize BASS library!");
  }
  if (!m_audio.Start()) EHS_RAISE(EHS_GENERAL, m_audio.ErrorGetCode(), "Cannot start digital output!");

  O2D_CREATE_MANAGER(m_pSoundsManager, "Creating Sounds Manager...", "Cannot create Sounds Manager!");
  O2D_CREATE_MANAGER(m_pMusicManager, "Creating Music Manager...", "Cannot create Music Manager!");
  O2D_CREATE_MANAGER(m_pPlaylistsManager, "Creating Playlists Manager...", "Cannot create Playlists Manager!");

  m_iCurrentMusic = -1;
  m_iPendingMusic = -1;
  m_iCurrentPlaylist = -1;
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

void COstrak::SoundShutdown() {
  EHS_CP();
  LOG_AddSeparator(1);
  LOG_AddEntry("Deinitializing Sound and Music Subsystem...", 3);
  // Bound string IDs go back to -1 with their sounds.
  if (m_pSoundsManager)
    for (int32_t id = 0; id < m_pSoundsManager->GetCount(); ++id)
      if (m_pSoundsManager->GetItem(id)) CSmartID::ClearID(id, SMARTID_SOUND);
  O2D_DestroyManager(m_pSoundsManager, "Destroying Sounds Manager...");
  O2D_DestroyManager(m_pMusicManager, "Destroying Music Manager...");
  O2D_DestroyManager(m_pPlaylistsManager, "Destroying Playlists Manager...");
  m_audio.Stop();
  m_audio.Free();
  m_iCurrentMusic = -1;
  m_iPendingMusic = -1;
  m_iCurrentPlaylist = -1;
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
  m_bSfxReady = 0;
}

void COstrak::SoundUpdate() {
  EHS_CP();
  if (!m_bSfxReady) return;
  if (!m_bNoSound) m_audio.Update();
  MusicUpdate();
}

void COstrak::SoundSetGlobalVolumes(int32_t effects, int32_t music) {
  EHS_CP();
  // Samples and streams share the effects volume.
  if (!m_bNoSound) m_audio.SetGlobalVolumes(music, effects, effects);
}

float COstrak::SoundGetCPU() const { return m_bNoSound ? 0.0f : m_audio.GetCPU(); }

void COstrak::SoundPauseOutput() {
  EHS_CP();
  if (!m_bNoSound) m_audio.Pause();
}

void COstrak::SoundResumeOutput() {
  EHS_CP();
  if (!m_bNoSound) m_audio.Start();
}
