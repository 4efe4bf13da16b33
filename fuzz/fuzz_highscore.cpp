// The best-result file as the game reads it at start, from a working folder of
// the fuzzer's own.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "costrak_ehs.h"
#include "fuzz_scratch_folder.h"
#include "highscore.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  FuzzEnterScratchFolder(argc, argv, "fuzz_highscore");
  std::filesystem::create_directory("data");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  {
    std::ofstream out("data/kavelhs.dat", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  std::filesystem::remove("gamelog.txt");
  try {
    LoadFile();
  } catch (const CEHSException&) {
  }
  return 0;
}
