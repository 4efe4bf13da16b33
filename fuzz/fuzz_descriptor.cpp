// Resource-pack descriptors as the resources subsystem reads them at start-up,
// from a data folder holding one file of the game's data ("tex_cursor.png").
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "costrak_ehs.h"
#include "costrak_res_cres.h"
#include "costrak_res_main.h"
#include "fuzz_scratch_folder.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  namespace fs = std::filesystem;
  FuzzEnterScratchFolder(argc, argv, "fuzz_descriptor");
  fs::create_directory("DATA");
  fs::copy_file(fs::path(OSTRAK_GAME_DATA) / "tex_cursor.png", "DATA/tex_cursor.png");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out("DATA/res.xml", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::set<std::string> ids;
  try {
    RES_ReadDescriptor(
        "./DATA/res.xml", O2D_DATA_DIR, [&](const std::string& id) { return ids.count(id) > 0; },
        [&](std::unique_ptr<CO2DResource> record) { ids.insert(record->GetID()); });
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  return 0;
}
