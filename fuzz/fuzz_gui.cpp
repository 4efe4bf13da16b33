// GUI data, enums and styles (the first byte chooses) as their resource loaders
// read them, into a GUI manager on a whole engine drawing offscreen. A fresh
// manager per input, so every input starts from the same tree.
#include <cstddef>
#include <cstdint>

#include "costrak_xml.h"
#include "fuzz_engine.h"
#include "o2dgui_costrakgui_main.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  FuzzStartEngine(argc, argv, "fuzz_gui", "", {});
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
