// GUI data, enums and styles (the first byte chooses) as their resource loaders
// read them, into a GUI manager on a whole engine drawing offscreen. A fresh
// manager per input, so every input starts from the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "costrak.h"
#include "costrak_xml.h"
#include "fuzz_scratch_folder.h"
#include "o2dgui_costrakgui_main.h"

namespace {
COstrak* g_engine = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("OSTRAK2D_WINDOWED", "1", 1);
  FuzzEnterScratchFolder(argc, argv, "fuzz_gui");
  std::filesystem::create_directory("DATA");
  g_engine = new COstrak();
  g_engine->ResInit();
  g_engine->GfxPreInit(800, 600);
  g_engine->GfxInit(2, false);
  g_engine->ScrInit();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 16)) return 0;
  try {
    CXMLDocument doc;
    doc.LoadFromBuffer(data + 1, static_cast<int32_t>(size - 1), 0);
    doc.Parse();
    COstrakGUI gui;
    switch (data[0] % 3) {
      case 0: gui.LoadGUIData(doc); break;
      case 1: gui.LoadEnum(doc, "E"); break;
      default: gui.LoadStyle(doc, "S"); break;
    }
    // Elements made from the data run a frame too.
    gui.Update();
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  return 0;
}
