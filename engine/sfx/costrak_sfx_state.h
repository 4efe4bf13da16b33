#pragma once
// Sound: the audio back end, the sound, music and playlist managers and what
// plays now.
// The engine object holds one; only the subsystem's own sources include this.
#include <memory>

#include "costrak_itemsmanager.h"
#include "costrak_sfx_classes.h"
#include "o2d_audio.h"

struct CSfxState {
  // The back end comes before the managers: their items free their handles in it.
  CO2DAudio audio;
  int iSoundDevice = O2DAUDIO_DEVICE_DEFAULT;
  bool bNoSound = false;
  bool bEffectsOn = true;
  bool bMusicOn = true;
  std::unique_ptr<TItemsManager<SoundObject>> pSoundsManager;
  std::unique_ptr<TItemsManager<IO2DMusic>> pMusicManager;
  std::unique_ptr<TItemsManager<Playlist>> pPlaylistsManager;
  int32_t iCurrentMusic = -1;
  int32_t iPendingMusic = -1;
  bool bPendingLoop = false;
  int32_t iCurrentPlaylist = -1;
};
