// Script API, sound family: sound effects, music volume and playlists.
#include "costrak_glue.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GLUE_SFX;

O2D_GLUE(O2D_SFX_SetGlobalVolumes) {
  const O2DGlueArgs a(L, glueName, "nn");
  O2DGlue_Engine().SoundSetGlobalVolumes(a.I(1), a.I(2));
  return 0;
}

O2D_GLUE(O2D_SFX_SoundUnload) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.UnloadSoundByStrID(id); }, [&](int32_t id) { e.UnloadSound(id); });
  return 0;
}

O2D_GLUE(O2D_SFX_SoundPlay) {
  const O2DGlueArgs a(L, glueName, "ibnnn");
  COstrak& e = O2DGlue_Engine();
  const bool loop = a.B(2);
  const int32_t freq = a.I(3), volume = a.I(4), pan = a.I(5);
  a.Item(1, [&](const char* id) { e.SoundPlayByStrID(id, loop, freq, volume, pan); },
         [&](int32_t id) { e.SoundPlay(id, loop, freq, volume, pan); });
  return 0;
}

O2D_GLUE(O2D_SFX_SoundStop) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.SoundStopByStrID(id); }, [&](int32_t id) { e.SoundStop(id); });
  return 0;
}

O2D_GLUE(O2D_SFX_SoundPause) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.SoundPauseByStrID(id); }, [&](int32_t id) { e.SoundPause(id); });
  return 0;
}

O2D_GLUE(O2D_SFX_SoundResume) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.SoundResumeByStrID(id); }, [&](int32_t id) { e.SoundResume(id); });
  return 0;
}

O2D_GLUE(O2D_SFX_SoundSetAttributes) {
  const O2DGlueArgs a(L, glueName, "innn");
  COstrak& e = O2DGlue_Engine();
  const int32_t freq = a.I(2), volume = a.I(3), pan = a.I(4);
  a.Item(1, [&](const char* id) { e.SoundSetAttributesByStrID(id, freq, volume, pan); },
         [&](int32_t id) { e.SoundSetAttributes(id, freq, volume, pan); });
  return 0;
}

O2D_GLUE(O2D_SFX_SoundSlideAttributes) {
  const O2DGlueArgs a(L, glueName, "innnn");
  COstrak& e = O2DGlue_Engine();
  const int32_t freq = a.I(2), volume = a.I(3), pan = a.I(4), time = a.I(5);
  a.Item(1, [&](const char* id) { e.SoundSlideAttributesByStrID(id, freq, volume, pan, time); },
         [&](int32_t id) { e.SoundSlideAttributes(id, freq, volume, pan, time); });
  return 0;
}

O2D_GLUE(O2D_SFX_SoundGetStatus) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  lua_pushnumber(L, a.Item(1, [&](const char* id) { return e.SoundGetStatusByStrID(id); },
                           [&](int32_t id) { return e.SoundGetStatus(id); }));
  return 1;
}

O2D_GLUE(O2D_SFX_MusicSetVolume) {
  const O2DGlueArgs a(L, glueName, "nn");
  O2DGlue_Engine().MusicSetVolume(a.I(1), a.I(2));
  return 0;
}

O2D_GLUE(O2D_SFX_PlaylistSet) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.PlaylistSetByStrID(id); }, [&](int32_t id) { e.PlaylistSet(id); });
  return 0;
}

O2D_GLUE(O2D_SFX_PlaylistStop) {
  O2DGlue_Engine().PlaylistStop();
  return 0;
}

static const O2DGlueEntry kSfxTable[] = {
    O2D_GLUE_ENTRY(O2D_SFX_SetGlobalVolumes),
    O2D_GLUE_ENTRY(O2D_SFX_SoundUnload),
    O2D_GLUE_ENTRY(O2D_SFX_SoundPlay),
    O2D_GLUE_ENTRY(O2D_SFX_SoundStop),
    O2D_GLUE_ENTRY(O2D_SFX_SoundPause),
    O2D_GLUE_ENTRY(O2D_SFX_SoundResume),
    O2D_GLUE_ENTRY(O2D_SFX_SoundSetAttributes),
    O2D_GLUE_ENTRY(O2D_SFX_SoundSlideAttributes),
    O2D_GLUE_ENTRY(O2D_SFX_SoundGetStatus),
    O2D_GLUE_ENTRY(O2D_SFX_MusicSetVolume),
    O2D_GLUE_ENTRY(O2D_SFX_PlaylistSet),
    O2D_GLUE_ENTRY(O2D_SFX_PlaylistStop),
};

std::span<const O2DGlueEntry> O2DGlue_SfxTable() { return kSfxTable; }
