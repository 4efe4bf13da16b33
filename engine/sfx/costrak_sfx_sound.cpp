#include <new>
#include <string>

#include "costrak.h"
#include "costrak_sfx_state.h"
#include "costrak_managers.h"
#include "costrak_utils_csmartid.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SFX_SOUND;

int32_t COstrak::LoadSound(const char* path, const char* strID, int32_t tag, bool isStream, int32_t maxPlaybacks,
                           bool noOverride, uint32_t offset, uint32_t length) {
  EHS_CP();
  if (m_sfx->bNoSound) return -2;
  EHS_ASSERT(m_sfx->pSoundsManager && path && strID);
  const int32_t existing = m_sfx->pSoundsManager->FindByStrID(strID);
  if (existing >= 0) return existing;

  LOG_AddEmptyLines(1);
  LOG_AddEntry(std::string("Loading sound: ") + strID, 2);
  auto* sound =
      new (std::nothrow) SoundObject(m_sfx->audio, path, isStream, maxPlaybacks, noOverride, offset, length);
  if (!sound) EHS_RAISE(EHS_GENERAL, 0, "Cannot create sound object!");
  const int32_t id = m_sfx->pSoundsManager->AddItem(sound, strID, tag);
  CSmartID::SetIDByStrID(strID, id);
  LOG_AddEntry("Done.", 4);
  return id;
}

int32_t COstrak::GetSoundIID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  return O2D_LogMissingIID(m_sfx->pSoundsManager ? m_sfx->pSoundsManager->FindByStrID(strID) : -1, "sound", strID);
}

void COstrak::UnloadSound(int32_t id) {
  EHS_CP();
  LOG_AddEmptyLines(1);
  LOG_AddEntry("Unloading sound. iID = " + std::to_string(id), 1);
  if (!m_sfx->pSoundsManager || !m_sfx->pSoundsManager->GetItem(id)) {
    LOG_AddEntry("Failed.", 5);
    return;
  }
  m_sfx->pSoundsManager->FreeItem(id);
  CSmartID::ClearID(id, SMARTID_SOUND);
  LOG_AddEntry("Done.", 4);
}

void COstrak::UnloadSoundByStrID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  LOG_AddEmptyLines(1);
  LOG_AddEntry(std::string("Unloading sound. strID = ") + strID, 1);
  const int32_t id = m_sfx->pSoundsManager ? m_sfx->pSoundsManager->FindByStrID(strID) : -1;
  if (id < 0 || !m_sfx->pSoundsManager->GetItem(id)) {
    LOG_AddEntry("Failed.", 5);
    return;
  }
  m_sfx->pSoundsManager->FreeItem(id);
  CSmartID::ClearID(id, SMARTID_SOUND);
  LOG_AddEntry("Done.", 4);
}

// Effects are silent without a sound card, while the window is in the
// background and while they are switched off: null then, else the valid sound.
SoundObject* COstrak::SoundForOperation(int32_t id) const {
  if (m_sfx->bNoSound || !IsAppActive() || !m_sfx->bEffectsOn) return nullptr;
  return SoundGetValid(id);
}

SoundObject* COstrak::SoundGetValid(int32_t id) const {
  SoundObject* sound = m_sfx->pSoundsManager ? m_sfx->pSoundsManager->GetItem(id) : nullptr;
  if (!sound) EHS_RAISE(EHS_GAME, 0, "Invalid sound ID: " + std::to_string(id));
  return sound;
}

namespace {
int32_t FindSound(const TItemsManager<SoundObject>* manager, const char* strID) {
  return manager && strID ? manager->FindByStrID(strID) : -1;
}
}  // namespace

void COstrak::SoundPlay(int32_t id, bool loop, int32_t freq, int32_t volume, int32_t pan) {
  EHS_CP();
  if (SoundObject* sound = SoundForOperation(id)) sound->Play(loop, freq, volume, pan);
}

void COstrak::SoundStop(int32_t id) {
  EHS_CP();
  if (SoundObject* sound = SoundForOperation(id)) sound->Stop();
}

void COstrak::SoundPause(int32_t id) {
  EHS_CP();
  if (SoundObject* sound = SoundForOperation(id)) sound->Pause();
}

void COstrak::SoundResume(int32_t id) {
  EHS_CP();
  if (SoundObject* sound = SoundForOperation(id)) sound->Resume();
}

void COstrak::SoundSetAttributes(int32_t id, int32_t freq, int32_t volume, int32_t pan) {
  EHS_CP();
  if (SoundObject* sound = SoundForOperation(id)) sound->SetAttributes(freq, volume, pan);
}

void COstrak::SoundSlideAttributes(int32_t id, int32_t freq, int32_t volume, int32_t pan, int32_t time) {
  EHS_CP();
  if (SoundObject* sound = SoundForOperation(id)) sound->SlideAttributes(freq, volume, pan, time);
}

int32_t COstrak::SoundGetStatus(int32_t id) {
  EHS_CP();
  // Answers in the background too.
  if (m_sfx->bNoSound || !m_sfx->bEffectsOn) return 0;
  return SoundGetValid(id)->GetStatus();
}

// --- by string ID and by CSmartID --------------------------------------------

void COstrak::SoundPlayByStrID(const char* strID, bool loop, int32_t freq, int32_t volume, int32_t pan) {
  SoundPlay(FindSound(m_sfx->pSoundsManager.get(), strID), loop, freq, volume, pan);
}
void COstrak::SoundPlay(const CSmartID& sid, bool loop, int32_t freq, int32_t volume, int32_t pan) {
  SoundPlay(sid.GetID(), loop, freq, volume, pan);
}

void COstrak::SoundStopByStrID(const char* strID) { SoundStop(FindSound(m_sfx->pSoundsManager.get(), strID)); }
void COstrak::SoundStop(const CSmartID& sid) { SoundStop(sid.GetID()); }

void COstrak::SoundPauseByStrID(const char* strID) { SoundPause(FindSound(m_sfx->pSoundsManager.get(), strID)); }
void COstrak::SoundPause(const CSmartID& sid) { SoundPause(sid.GetID()); }

void COstrak::SoundResumeByStrID(const char* strID) { SoundResume(FindSound(m_sfx->pSoundsManager.get(), strID)); }
void COstrak::SoundResume(const CSmartID& sid) { SoundResume(sid.GetID()); }

void COstrak::SoundSetAttributesByStrID(const char* strID, int32_t freq, int32_t volume, int32_t pan) {
  SoundSetAttributes(FindSound(m_sfx->pSoundsManager.get(), strID), freq, volume, pan);
}
void COstrak::SoundSetAttributes(const CSmartID& sid, int32_t freq, int32_t volume, int32_t pan) {
  SoundSetAttributes(sid.GetID(), freq, volume, pan);
}

void COstrak::SoundSlideAttributesByStrID(const char* strID, int32_t freq, int32_t volume, int32_t pan,
                                          int32_t time) {
  SoundSlideAttributes(FindSound(m_sfx->pSoundsManager.get(), strID), freq, volume, pan, time);
}
void COstrak::SoundSlideAttributes(const CSmartID& sid, int32_t freq, int32_t volume, int32_t pan, int32_t time) {
  SoundSlideAttributes(sid.GetID(), freq, volume, pan, time);
}

int32_t COstrak::SoundGetStatusByStrID(const char* strID) {
  return SoundGetStatus(FindSound(m_sfx->pSoundsManager.get(), strID));
}
int32_t COstrak::SoundGetStatus(const CSmartID& sid) { return SoundGetStatus(sid.GetID()); }
