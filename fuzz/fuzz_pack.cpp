// Resource packs: the first byte's low bit chooses between reading the pack's
// directory alone and a whole data folder in pack mode, the pack its only file:
// the resources subsystem starts over on it and loads every resource, whatever
// its type, through the engine's loaders (GUI types included, scripts bounded).
#include <cstddef>
#include <cstdint>
#include <fstream>

#include "costrak_res_pack.h"
#include "fuzz_engine.h"
#include "fuzz_scripts.h"
#include "o2dgui_costrakgui_main.h"

namespace {
COstrak* g_engine = nullptr;

// What the loaders made is freed again, so that the run does not grow.
void UnloadAll(const O2DPackDirectory& directory) {
  for (const O2DPackEntry& entry : directory.entries) {
    try {
      if (entry.typeName == "TEXTURE") g_engine->UnloadTextureByStrID(entry.id.c_str());
      if (entry.typeName == "SOUND") g_engine->UnloadSoundByStrID(entry.id.c_str());
    } catch (const CEHSException&) {
    }
  }
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_engine = FuzzStartEngine(argc, argv, "fuzz_pack", "", {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  {
    std::ofstream out("DATA/data.pak", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  const O2DPackDirectory directory = RES_ReadPackDirectory("./DATA/data.pak");
  if (!(data[0] & 1)) return 0;
  try {
    g_engine->ResDeinit();
    g_engine->ResInit();
    FuzzRestartScripts(*g_engine);
    COstrakGUI gui;
    g_engine->LoadResources(0);
    gui.Update();
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  UnloadAll(directory);
  return 0;
}
