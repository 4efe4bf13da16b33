#pragma once
// An engine with resources and sound started on the offline render device: the
// tests mix the output themselves and run frames through UpdateAllSystems.
#include <filesystem>
#include <string>

#include "audio_generators.h"
#include "costrak_sfx_classes.h"
#include "o2d_audio.h"
#include "costrak_random.h"
#include "costrak_xml.h"
#include "gl_engine.h"
#include "raised.h"

class SoundTest : public TempDirTest {
 protected:
  static constexpr int kRate = 44100;

  void SetUp() override {
    TempDirTest::SetUp();
    std::filesystem::create_directory("DATA");
    O2D_SetXMLEncryptMode(false);
    O2D_RandomSeed(1);
    // Focus changes arrive as window events through the engine's pump.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    Sine("a.wav", 441.0, 1.0);  // whole periods: looped, it plays without a seam
  }
  void TearDown() override {
    m_engine.reset();
    TempDirTest::TearDown();
  }

  // Resource descriptor entries (none: a pack is there); then resources and sound
  // start, on the offline device or (given a driver) on the one SDL opens.
  void Start(const std::string& entries, const char* driver = nullptr) {
    if (driver) setenv("SDL_AUDIODRIVER", driver, 1);
    if (!entries.empty()) WriteFileBytes("DATA/res.xml", "<respack>" + entries + "</respack>");
    m_engine = std::make_unique<COstrak>();
    m_engine->ResInit();
    KeepGLDriverLoaded();
    m_engine->m_bGfxReady = 1;
    m_engine->CreateGameWindow(800, 600, true);
    m_engine->SoundSelectDevice(driver ? O2DAUDIO_DEVICE_DEFAULT : O2DAUDIO_DEVICE_RENDER);
    m_engine->SoundInit(kRate);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Focus(true);
  }
  static void Sine(const std::string& file, double hz, double seconds) {
    WriteWav("DATA/" + file, kRate, 1, SineWave(kRate, hz, seconds, 1, 1.0));
  }

  void Focus(bool gained) {
    PushWindowEvent(0, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
    m_engine->UpdateAllSystems();
  }
  Pcm Render(int ms) {
    Pcm out(static_cast<size_t>(kRate) * ms / 1000 * 2);
    m_engine->SoundGetAudio().Mix(out.data(), static_cast<int>(out.size() / 2));
    return out;
  }
  // One frame: `ms` of output mixed, then the engine's frame step.
  void Frame(int ms = 20) {
    Render(ms);
    ASSERT_EQ(m_engine->UpdateAllSystems(), 1);
  }

  std::unique_ptr<COstrak> m_engine;
};
