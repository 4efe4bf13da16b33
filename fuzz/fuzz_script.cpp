// Scripts as their resource loader runs them (a chunk named by the resource's
// ID), with the engine's script API, in a fresh bounded script subsystem each.
#include <cstddef>
#include <cstdint>

#include "fuzz_engine.h"
#include "fuzz_scripts.h"

namespace {
COstrak* g_engine = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  g_engine = FuzzStartEngine(argc, argv, "fuzz_script", "", {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  FuzzRestartScripts(*g_engine);
  try {
    g_engine->LoadScriptFromBuffer(reinterpret_cast<const char*>(data), static_cast<uint32_t>(size), "SCR_FUZZ");
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  return 0;
}
