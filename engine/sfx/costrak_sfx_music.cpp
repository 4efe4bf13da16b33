#include <new>
#include <string>

#include "costrak.h"
#include "costrak_sfx_state.h"
#include "costrak_managers.h"
#include "costrak_utils_csmartid.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SFX_MUSIC;

int32_t COstrak::LoadMusic(const char* path, const char* strID, int32_t tag, uint32_t offset, uint32_t length,
                           bool preload) {
  EHS_CP();
  if (m_sfx->bNoSound) return -2;
  EHS_ASSERT(m_sfx->pMusicManager && path && strID);
  const int32_t existing = m_sfx->pMusicManager->FindByStrID(strID);
  if (existing >= 0) return existing;

  LOG_AddEmptyLines(1);
  LOG_AddEntry(std::string("Loading music: ") + strID, 2);
  IO2DMusic* music = nullptr;
  if (preload) {
    music = new (std::nothrow) O2DPreloadedMusic(m_sfx->audio, path, offset, length);
    if (!music) EHS_RAISE(EHS_GENERAL, 0, "Cannot create O2DPreloadedMusic object!");
  } else {
    music = new (std::nothrow) O2DMusic(m_sfx->audio, path, offset, length);
    if (!music) EHS_RAISE(EHS_GENERAL, 0, "Cannot create O2DMusic object!");
  }
  const int32_t id = m_sfx->pMusicManager->AddItem(music, strID, tag);
  CSmartID::SetIDByStrID(strID, id);
  LOG_AddEntry("Done.", 4);
  return id;
}

int32_t COstrak::GetMusicIID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  return O2D_LogMissingIID(m_sfx->pMusicManager ? m_sfx->pMusicManager->FindByStrID(strID) : -1, "music", strID);
}

void COstrak::MusicPlay(int32_t id, bool loop, int32_t fadeTime) {
  EHS_CP();
  if (m_sfx->bNoSound || !IsAppActive() || !m_sfx->bMusicOn) return;
  if (id == -1) EHS_RAISE(EHS_GAME, 0, "Invalid music id!");
  // The piece already current goes on as it is.
  if (id == m_sfx->iCurrentMusic) return;
  // The new piece starts in MusicUpdate once the current one has stopped.
  m_sfx->iPendingMusic = id;
  m_sfx->bPendingLoop = loop;
  if (m_sfx->iCurrentMusic != -1) MusicStop(fadeTime);
}

void COstrak::MusicPlayByStrID(const char* strID, bool loop, int32_t fadeTime) {
  EHS_CP();
  if (m_sfx->bNoSound || !IsAppActive() || !m_sfx->bMusicOn) return;
  const int32_t id = m_sfx->pMusicManager && strID ? m_sfx->pMusicManager->FindByStrID(strID) : -1;
  MusicPlay(id, loop, fadeTime);
}

void COstrak::MusicStop(int32_t fadeTime) {
  EHS_CP();
  if (m_sfx->bNoSound || !IsAppActive() || m_sfx->iCurrentMusic == -1) return;
  IO2DMusic* music = m_sfx->pMusicManager ? m_sfx->pMusicManager->GetItem(m_sfx->iCurrentMusic) : nullptr;
  if (!music) EHS_RAISE(EHS_GENERAL, 0, "Cannot stop music - invalid ID!");
  music->Stop(fadeTime);
}

int32_t COstrak::MusicGetStatus() {
  EHS_CP();
  if (m_sfx->bNoSound || m_sfx->iCurrentMusic == -1 || !m_sfx->bMusicOn) return 0;
  IO2DMusic* music = m_sfx->pMusicManager ? m_sfx->pMusicManager->GetItem(m_sfx->iCurrentMusic) : nullptr;
  if (!music) EHS_RAISE(EHS_GENERAL, 0, "Cannot get music status - invalid ID!");
  return music->GetStatus();
}

void COstrak::MusicSetVolume(int32_t volume, int32_t time) {
  EHS_CP();
  if (m_sfx->bNoSound || !IsAppActive() || m_sfx->iCurrentMusic == -1 || !m_sfx->bMusicOn) return;
  IO2DMusic* music = m_sfx->pMusicManager ? m_sfx->pMusicManager->GetItem(m_sfx->iCurrentMusic) : nullptr;
  if (!music) EHS_RAISE(EHS_GENERAL, 0, "Cannot set music volume - invalid ID!");
  music->SetVolume(volume, time);
}

float COstrak::MusicGetLevelLeft() {
  EHS_CP();
  if (m_sfx->bNoSound || m_sfx->iCurrentMusic == -1 || !m_sfx->bMusicOn || !m_sfx->pMusicManager) return 0.0f;
  IO2DMusic* music = m_sfx->pMusicManager->GetItem(m_sfx->iCurrentMusic);
  return music ? music->GetLevelLeft() : 0.0f;
}

float COstrak::MusicGetLevelRight() {
  EHS_CP();
  if (m_sfx->bNoSound || m_sfx->iCurrentMusic == -1 || !m_sfx->bMusicOn || !m_sfx->pMusicManager) return 0.0f;
  IO2DMusic* music = m_sfx->pMusicManager->GetItem(m_sfx->iCurrentMusic);
  return music ? music->GetLevelRight() : 0.0f;
}

void COstrak::MusicUpdate() {
  EHS_CP();
  if (!m_bSfxReady || m_sfx->bNoSound || !m_sfx->bMusicOn) return;
  // A piece that ended (or finished fading) makes way: for the playlist's next
  // piece, or for the one waiting.
  if (MusicGetStatus() == 0 && m_sfx->iCurrentPlaylist != -1) PlaylistNext();
  if (MusicGetStatus() == 0) m_sfx->iCurrentMusic = -1;
  if (m_sfx->iPendingMusic != -1 && m_sfx->iCurrentMusic == -1) {
    m_sfx->iCurrentMusic = m_sfx->iPendingMusic;
    m_sfx->iPendingMusic = -1;
    IO2DMusic* music = m_sfx->pMusicManager ? m_sfx->pMusicManager->GetItem(m_sfx->iCurrentMusic) : nullptr;
    if (!music) EHS_RAISE(EHS_GENERAL, 0, "Cannot play music - invalid ID!");
    music->Play(m_sfx->bPendingLoop);
  }
}
