// Font descriptions, plain or encrypted (the first byte's low bit), as their
// resource loader reads them, with the game's font texture and technique pack
// in the data folder; a font that loads then measures and draws text offscreen.
#include <cstddef>
#include <cstdint>

#include "costrak_xml.h"
#include "fuzz_engine.h"

namespace {
COstrak* g_engine = nullptr;
constexpr const char* kText = "Wj \t19\xc4\xff\n-";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_engine = FuzzStartEngine(argc, argv, "fuzz_font",
                             "<t id=\"TEX_FONT1\" filename=\"tex_cursor.png\" typeid=\"TEXTURE\" tag=\"3\" data1=\"3\" data2=\"1\"/>"
                             "<t id=\"TEQ_PACK\" filename=\"techniques.tqp\" typeid=\"TECHNIQUE\" tag=\"1\"/>",
                             {"tex_cursor.png", "techniques.tqp"});
  // Loaded plain before any input turns the encrypt mode on.
  g_engine->LoadResource("TEQ_PACK");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  O2D_SetXMLEncryptMode(data[0] & 1);
  int32_t id = -1;
  try {
    id = g_engine->LoadFont(data + 1, static_cast<uint32_t>(size - 1));
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  if (id < 0) return 0;
  g_engine->FontSet(id);
  (void)g_engine->FontGetStringWidth(kText, id, 1.5f, 2.0f);
  g_engine->SceneBegin();
  g_engine->FontDrawText(kText, 10, 20, 0, -1, 1.0f);
  g_engine->FontDrawTextEx(kText, 10, 60, 5, 3, 0.5f, true, 0.5f, 1.0f, 4.0f);
  g_engine->SceneEnd();
  // Presenting lets the driver finish the frame instead of queueing them all.
  g_engine->ScenePresent();
  return 0;
}
