// Technique packs, plain or encrypted (the first byte's low bit), as their
// resource loader reads them; every technique the input names is then applied
// to a tiny quad drawn offscreen.
#include <cstddef>
#include <cstdint>

#include "costrak_xml.h"
#include "fuzz_engine.h"

namespace {
COstrak* g_engine = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_engine = FuzzStartEngine(argc, argv, "fuzz_technique", "", {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  const bool encrypted = data[0] & 1;
  O2D_SetXMLEncryptMode(encrypted);
  try {
    g_engine->LoadTechniquesPack(data + 1, static_cast<uint32_t>(size - 1));
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  if (size == 1) return 0;  // no text to look the IDs up in
  CXMLDocument doc;
  doc.LoadFromBuffer(data + 1, static_cast<int32_t>(size - 1), encrypted);
  doc.Parse();
  g_engine->SceneBegin();
  for (const auto& child : doc.root.children) {
    const int32_t id = g_engine->GetTechniqueIID(child->GetAttribute("id").c_str());
    if (id < 0) continue;
    g_engine->TechApply(id);
    // A tiny quad brings the technique's states to the device.
    g_engine->VQuadSetPos(0, 0, 2, 2);
    g_engine->SceneRender();
  }
  g_engine->SceneEnd();
  return 0;
}
