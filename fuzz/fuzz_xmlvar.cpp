// XML data resources setting the game's variables, plain or encrypted (the
// first byte's low bit), as their resource loader reads them.
#include <cstddef>
#include <cstdint>

#include "costrak_ehs.h"
#include "costrak_utils_cxmlvar.h"
#include "costrak_xml.h"
#include "fuzz_scratch_folder.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // Warnings go to the game log in the working folder.
  FuzzEnterScratchFolder(argc, argv, "fuzz_xmlvar");
  // The game's variables, declared as the game declares them.
  static CXMLVarInt gameID("kavelgameid"), sizeX("sizex"), sizeY("sizey");
  static CXMLVarFloat actionTime("actiontime");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  O2D_SetXMLEncryptMode(data[0] & 1);
  try {
    RESLOAD_XMLData(data + 1, static_cast<uint32_t>(size - 1));
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  return 0;
}
