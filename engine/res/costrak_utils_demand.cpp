#include "costrak_utils_demand.h"

#include <string>

#include "costrak.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_UTILS_DEMAND;

namespace {

COstrak* DemandEngine() {
  COstrak* engine = O2D_GetEngine();
  EHS_ASSERT(engine);
  return engine;
}

// Without a sound card the sound and music loaders create nothing on purpose;
// a registered resource then gives -2 instead of the demand error.
bool SilentOnPurpose(COstrak* engine, const char* id) {
  return engine->m_bSfxReady && !engine->SoundIsAvailable() && engine->ResGetManager() &&
         engine->ResGetManager()->FindByStrID(id) >= 0;
}
}  // namespace

int32_t O2DUTIL_FindOrLoad(O2DFindFn find, const char* id, const char* resourceID) {
  COstrak* engine = DemandEngine();
  const int32_t found = (engine->*find)(id);
  if (found >= 0) return found;
  engine->LoadResource(resourceID);
  return (engine->*find)(id);
}

int32_t O2DUTIL_DemandTexture(const char* id) {
  EHS_CP();
  DemandEngine();
  EHS_ASSERT(id);
  const int32_t found = O2DUTIL_FindOrLoad(&COstrak::GetTextureIID, id, id);
  if (found >= 0) return found;
  EHS_RAISE(EHS_GAME, 0, std::string("Invalid texture demand. ID = ") + id);
}

int32_t O2DUTIL_DemandTechnique(const char* id, const char* techPackID) {
  EHS_CP();
  DemandEngine();
  EHS_ASSERT(id && techPackID);
  const int32_t found = O2DUTIL_FindOrLoad(&COstrak::GetTechniqueIID, id, techPackID);
  if (found >= 0) return found;
  EHS_RAISE(EHS_GAME, 0, std::string("Invalid technique demand. ID = ") + id + "  TechPackID = " + techPackID);
}

int32_t O2DUTIL_DemandFont(const char* id) {
  EHS_CP();
  DemandEngine();
  EHS_ASSERT(id);
  const int32_t found = O2DUTIL_FindOrLoad(&COstrak::GetFontIID, id, id);
  if (found >= 0) return found;
  EHS_RAISE(EHS_GAME, 0, std::string("Invalid font demand. ID = ") + id);
}

int32_t O2DUTIL_DemandSound(const char* id) {
  EHS_CP();
  COstrak* engine = DemandEngine();
  EHS_ASSERT(id);
  const int32_t found = O2DUTIL_FindOrLoad(&COstrak::GetSoundIID, id, id);
  if (found >= 0) return found;
  if (SilentOnPurpose(engine, id)) return -2;
  EHS_RAISE(EHS_GAME, 0, std::string("Invalid sound demand. ID = ") + id);
}

int32_t O2DUTIL_DemandMusic(const char* id) {
  EHS_CP();
  COstrak* engine = DemandEngine();
  EHS_ASSERT(id);
  const int32_t found = O2DUTIL_FindOrLoad(&COstrak::GetMusicIID, id, id);
  if (found >= 0) return found;
  if (SilentOnPurpose(engine, id)) return -2;
  EHS_RAISE(EHS_GAME, 0, std::string("Invalid music demand. ID = ") + id);
}

int32_t O2DUTIL_DemandPlaylist(const char* id) {
  EHS_CP();
  DemandEngine();
  EHS_ASSERT(id);
  const int32_t found = O2DUTIL_FindOrLoad(&COstrak::GetPlaylistIID, id, id);
  if (found >= 0) return found;
  EHS_RAISE(EHS_GAME, 0, std::string("Invalid playlist demand. ID = ") + id);
}
