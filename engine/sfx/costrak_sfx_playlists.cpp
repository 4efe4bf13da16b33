#include <algorithm>
#include <limits>
#include <new>
#include <string>

#include "costrak.h"
#include "costrak_sfx_state.h"
#include "costrak_utils_demand.h"
#include "costrak_managers.h"
#include "costrak_randomizer.h"
#include "costrak_utils_csmartid.h"
#include "costrak_xml.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SFX_PLAYLISTS;

namespace {
constexpr int32_t kPlaylistFade = 3000;
constexpr int32_t kEntryWeight = 10;
}  // namespace

int32_t COstrak::LoadPlaylist(const void* data, uint32_t size) {
  EHS_CP();
  EHS_ASSERT(m_sfx->pPlaylistsManager);
  LOG_AddEmptyLines(1);
  LOG_AddEntry("Processing playlist file...", 2);
  CXMLDocument doc;
  const uint32_t length = std::min<uint32_t>(size, static_cast<uint32_t>(std::numeric_limits<int32_t>::max()));
  doc.LoadFromBuffer(data, static_cast<int32_t>(length), O2D_GetXMLEncryptMode() ? 1 : 0);
  doc.Parse();
  if (doc.root.name.empty()) EHS_RAISE(EHS_GENERAL, 0, "XML Parser error - root node object is NULL!");
  if (doc.root.name != "playlist") EHS_RAISE(EHS_GAME, 0, "XML file doesn't contain playlist data!");

  const std::string& strID = doc.root.GetAttribute("id");
  const int32_t existing = m_sfx->pPlaylistsManager->FindByStrID(strID);
  if (existing >= 0) {
    LOG_AddEntry("Warning: Dublicated playlist!", 5);
    return existing;
  }

  auto* playlist = new (std::nothrow) Playlist();
  if (!playlist) EHS_RAISE(EHS_GENERAL, 0, "Cannot create playlist object!");
  const int32_t id = m_sfx->pPlaylistsManager->AddItem(playlist, strID, XML_ReadInt(doc.root.GetAttribute("tag"), 0));
  for (int32_t i = 0; i < doc.root.GetChildCount(); ++i) {
    CXMLNode* child = doc.root.GetChildNode(i);
    if (!child) EHS_RAISE(EHS_GENERAL, 0, "XML Parser error - child node is NULL");
    const char* musicID = child->GetAttribute("id").c_str();
    const int32_t music = O2DUTIL_FindOrLoad(&COstrak::GetMusicIID, musicID, musicID);
    // A piece that cannot be found is left out.
    if (music != -1) playlist->AddEntry(music);
  }
  LOG_AddEntry("New playlist contains " + std::to_string(playlist->GetEntries().size()) + " entries.", 1);
  CSmartID::SetIDByStrID(strID, id);
  LOG_AddEntry("Done.", 4);
  LOG_AddEmptyLines(1);
  return id;
}

int32_t COstrak::GetPlaylistIID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  return O2D_LogMissingIID(m_sfx->pPlaylistsManager ? m_sfx->pPlaylistsManager->FindByStrID(strID) : -1, "playlist", strID);
}

void COstrak::PlaylistNext() {
  EHS_CP();
  if (m_sfx->bNoSound) return;
  const Playlist* playlist = m_sfx->pPlaylistsManager ? m_sfx->pPlaylistsManager->GetItem(m_sfx->iCurrentPlaylist) : nullptr;
  if (!playlist) EHS_RAISE(EHS_GENERAL, 0, "Internal error - invalid playlist ID!");
  const std::vector<int32_t>& entries = playlist->GetEntries();
  if (entries.empty()) {
    m_sfx->iPendingMusic = -1;
    return;
  }
  if (entries.size() == 1) {
    m_sfx->iPendingMusic = entries.front();
    return;
  }
  // Any piece but the one just heard; a duplicate entry counts twice.
  TRandomizer<int32_t> randomizer;
  for (int32_t music : entries)
    if (music != m_sfx->iCurrentMusic) randomizer.AddValue(music, kEntryWeight);
  // A list naming nothing but the piece just heard plays it again.
  m_sfx->iPendingMusic = randomizer.GetCount() == 0 ? m_sfx->iCurrentMusic : randomizer.GetRandomValue();
}

void COstrak::PlaylistSet(int32_t id) {
  EHS_CP();
  if (m_sfx->bNoSound) return;
  if (id == -1) EHS_RAISE(EHS_GAME, 0, "Invalid playlist ID!");
  if (id == m_sfx->iCurrentPlaylist) return;
  // The first piece follows in MusicUpdate once the current one has faded out.
  MusicStop(kPlaylistFade);
  m_sfx->iCurrentPlaylist = id;
}

void COstrak::PlaylistSetByStrID(const char* strID) {
  EHS_CP();
  if (m_sfx->bNoSound) return;
  PlaylistSet(m_sfx->pPlaylistsManager && strID ? m_sfx->pPlaylistsManager->FindByStrID(strID) : -1);
}

void COstrak::PlaylistStop() {
  EHS_CP();
  if (m_sfx->bNoSound) return;
  MusicStop(kPlaylistFade);
  m_sfx->iCurrentPlaylist = -1;
}
