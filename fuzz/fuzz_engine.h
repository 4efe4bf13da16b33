#pragma once
// For targets whose readers live in a whole engine: a scratch working folder whose
// DATA holds the named files of the game's own data and a descriptor listing them
// (`entries`: the children of its "respack" root), then resources, graphics drawing
// offscreen, sound mixed by nobody, and scripts. The engine lives for the whole run.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "costrak.h"
#include "fuzz_scratch_folder.h"
#include "o2d_audio.h"

inline COstrak* FuzzStartEngine(int* argc, char*** argv, const std::string& name, const std::string& entries,
                                std::initializer_list<const char*> gameFiles) {
  namespace fs = std::filesystem;
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("OSTRAK2D_WINDOWED", "1", 1);
  FuzzEnterScratchFolder(argc, argv, name);
  fs::create_directory("DATA");
  for (const char* file : gameFiles) fs::copy_file(fs::path(OSTRAK_GAME_DATA) / file, fs::path("DATA") / file);
  if (!entries.empty()) std::ofstream("DATA/res.xml") << "<respack>" << entries << "</respack>";

  auto* engine = new COstrak();
  engine->ResInit();
  engine->GfxPreInit(800, 600);
  engine->GfxInit(2, false);
  engine->SoundSelectDevice(O2DAUDIO_DEVICE_RENDER);
  engine->SoundInit(44100);
  engine->ScrInit();
  return engine;
}
