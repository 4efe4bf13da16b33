// Playlists, plain or encrypted (the first byte's low bit), as their resource
// loader reads them, with two pieces of the game's music in the data folder; a
// playlist that loads is then set and moved on.
#include <cstddef>
#include <cstdint>

#include "costrak_xml.h"
#include "fuzz_engine.h"

namespace {
COstrak* g_engine = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_engine = FuzzStartEngine(argc, argv, "fuzz_playlist",
                             "<m id=\"MUS_GAME\" filename=\"mus_game.xm\" typeid=\"MUSIC\" tag=\"5\" data1=\"1\"/>"
                             "<m id=\"MUS_TYPE\" filename=\"snd_gui_type.wav\" typeid=\"MUSIC\" tag=\"5\"/>",
                             {"mus_game.xm", "snd_gui_type.wav"});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  O2D_SetXMLEncryptMode(data[0] & 1);
  try {
    const int32_t id = g_engine->LoadPlaylist(data + 1, static_cast<uint32_t>(size - 1));
    g_engine->PlaylistSet(id);
    g_engine->PlaylistNext();
    g_engine->PlaylistStop();
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  return 0;
}
