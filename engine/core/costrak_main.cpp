#include <cstdio>
#include <cstdlib>
#include <string>

#include "costrak.h"
#include "costrak_gfx_state.h"
#include "costrak_inp_state.h"
#include "costrak_res_state.h"
#include "costrak_sfx_state.h"
#include "costrak_log.h"
#include "costrak_scr_state.h"
#include "o2d_clock.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_MAIN;

namespace {
COstrak* g_pEngine = nullptr;
bool g_bQuitRequested = false;
bool g_bAppActive = false;
}  // namespace

COstrak* O2D_GetEngine() {
  EHS_CP();
  return g_pEngine;
}

const char* O2D_BuildDate() { return __DATE__; }
const char* O2D_BuildTime() { return __TIME__; }

void COstrak::RequestQuit() { g_bQuitRequested = true; }
bool COstrak::IsQuitRequested() { return g_bQuitRequested || O2D_QuitSignalled(); }
bool COstrak::IsAppActive() { return g_bAppActive; }

COstrak::COstrak()
    : m_inp(std::make_unique<CInpState>()),
      m_res(std::make_unique<CResState>()),
      m_sfx(std::make_unique<CSfxState>()),
      m_gfx(std::make_unique<CGfxState>()),
      m_scr(std::make_unique<CScrState>()) {
  EHS_CP();
  m_uCurrentTime = O2D_TimeGetTime();
  m_uLastFrameTime = m_uCurrentTime - 1;
  std::remove(O2D_GAMELOG_FILE);
  // Process-wide flags start afresh with each engine.
  g_bQuitRequested = false;
  g_bAppActive = false;
  g_pEngine = this;
}

COstrak::~COstrak() {
  // Deleted without Cleanup: the graphics objects still go, in the order the
  // device needs (its items, the device, its window, then the adapter).
  if (m_gfx->pDevice || m_gfx->pAdapter) {
    m_gfx->pTexturesManager.reset();
    if (m_gfx->pDevice) m_gfx->pDevice->Release();
    m_window.Destroy();
    if (m_gfx->pAdapter) m_gfx->pAdapter->Release();
  }
  if (g_pEngine == this) g_pEngine = nullptr;
}

void COstrak::Start(const char* programName, const char* programVersion) {
  EHS_CP();
  m_strProgramName = programName ? programName : "";
  m_strProgramVersion = programVersion ? programVersion : "";
  const EHSLocalTime now = EHS_LocalTimeNow();
  LOG_AddEmptyLines(2);
  LOG_AddSeparator(1);
  LOG_AddEntry("Starting " + m_strProgramName + " " + m_strProgramVersion, 3);
  LOG_AddEntry("Powered by Ostrak2D Engine v.1.0", 3);
  LOG_AddEntry(std::string("Built: ") + O2D_BuildDate() + "   " + O2D_BuildTime(), 3);
  LOG_AddEmptyLines(1);
  LOG_AddEntry("Execution date: " + std::to_string(now.day) + "." + std::to_string(now.month) + "." +
                   std::to_string(now.year),
               3);
  LOG_AddEntry("Execution time: " + std::to_string(now.hour) + ":" + std::to_string(now.minute), 3);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(2);
}

void COstrak::RegisterCallback(O2DCallback fn, uint32_t kind) {
  EHS_CP();
  LOG_AddSeparator(1);
  switch (kind) {
    case O2D_CALLBACK_LOSTFOCUS:
      m_pfnLostFocus = fn;
      LOG_AddEntry("Callback function for lost focus registered.", 4);
      break;
    case O2D_CALLBACK_RESTOREDFOCUS:
      m_pfnRestoredFocus = fn;
      LOG_AddEntry("Callback function for restored focus registered.", 4);
      break;
    case O2D_CALLBACK_TERMINATION:
      m_pfnTermination = fn;
      LOG_AddEntry("Callback function for termination registered.", 4);
      break;
    default:
      break;
  }
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

void COstrak::TimerUpdate() {
  EHS_CP();
  const uint32_t now = O2D_TimeGetTime();
  int32_t delta = static_cast<int32_t>(now - m_uLastFrameTime);
  m_uCurrentTime = now;
  m_uLastFrameTime = now;
  if (delta < 1) delta = 1;
  if (delta > 300) delta = 300;
  m_iTimeDeltaMs = delta;
  m_fTimeDelta = static_cast<float>(delta) * 0.001f;
  m_iFPSAccumMs += delta;
  if (m_iFPSAccumMs >= 1000) {
    // The excess over a second is dropped, not carried into the next window.
    m_iFPS = m_iFPSFrames + 1;
    m_iFPSAccumMs = 0;
    m_iFPSFrames = 0;
  }
  ++m_iFPSFrames;
}

int COstrak::UpdateAllSystems() {
  EHS_CP();
  if (!O2D_PumpEvents(*this)) return -1;
  if (!g_bAppActive) return 0;
  if (m_gfx->pDevice && !GfxCheckDevice()) return 0;
  TimerUpdate();
  InputUpdate();
  SoundUpdate();
  return 1;
}

void COstrak::RunFrameLoop(bool (*frame)()) {
  EHS_CP();
  // No sleep and no frame cap: presentation paces the frames. The start-up
  // benchmark sets OSTRAK2D_QUIT_AFTER_FRAMES to end the run after that many.
  const char* quitAfter = std::getenv("OSTRAK2D_QUIT_AFTER_FRAMES");
  long framesLeft = quitAfter ? std::strtol(quitAfter, nullptr, 10) : 0;
  // Start-up is over: images decoded ahead and not taken are not needed.
  ResEndDecodeAhead();
  while (!IsQuitRequested()) {
    const int result = UpdateAllSystems();
    if (result == 0) {
      O2D_WaitEvent();
    } else if (result < 0) {
      RequestQuit();
    } else if (!frame()) {
      break;
    } else if (framesLeft > 0 && --framesLeft == 0) {
      RequestQuit();
    }
  }
}

void COstrak::OnActivate(bool active) {
  EHS_CP();
  // An activation that repeats the current state does nothing.
  if (active && !g_bAppActive) {
    g_bAppActive = true;
    OnFocusGained();
  } else if (!active && g_bAppActive) {
    g_bAppActive = false;
    OnFocusLost();
  }
}

// A closed window leaves the application inactive, without the focus-lost steps.
void COstrak::OnClose() { g_bAppActive = false; }

void COstrak::OnWindowEvent(const O2DWindowEvent& event) { InputOnEvent(event); }

void COstrak::OnFocusGained() {
  EHS_CP();
  LOG_AddLine("FOCUS GAINED");
  if (m_pfnRestoredFocus) m_pfnRestoredFocus();
  // Twice, so the time spent away does not show up as one frame's delta.
  TimerUpdate();
  TimerUpdate();
  InputReacquire();
  if (m_bSfxReady) SoundResumeOutput();
}

void COstrak::OnFocusLost() {
  EHS_CP();
  if (m_pfnLostFocus) m_pfnLostFocus();
  LOG_AddLine("FOCUS LOST");
  // The queued quads are dropped, not drawn.
  if (BatchIsLocked()) BatchUnlock();
  if (m_bSfxReady) SoundPauseOutput();
}

void COstrak::CreateGameWindow(int width, int height, bool windowed) {
  EHS_CP();
  if (!O2D_InitVideo()) EHS_RAISE(EHS_GENERAL, 0, "Cannot register window class!");
  if (!m_window.Create(m_strProgramName, width, height, windowed))
    EHS_RAISE(EHS_GENERAL, 0, "Invalid window handle returned by CreateWindowEx()");
  g_bAppActive = true;
  m_window.Show();
}

void COstrak::DestroyGameWindow() {
  EHS_CP();
  m_window.Hide();
  m_window.Destroy();
}

bool COstrak::Cleanup() {
  EHS_CP();
  bool ok = true;
  auto step = [&ok](auto&& run) {
    try {
      run();
    } catch (...) {
      EHS_ReportFatal(std::current_exception());
      ok = false;
    }
  };
  if (m_bTerminatedByFatalError && m_pfnTermination) step(m_pfnTermination);
  if (m_bInpReady) step([this] { DeinitInputSubsystem(); });
  if (m_bSfxReady) step([this] { SoundShutdown(); });
  if (m_bGfxReady) step([this] { GfxShutdown(); });
  if (m_bResReady) step([this] { ResDeinit(); });
  if (m_bScrReady) step([this] { ScrDeinit(); });
  LOG_AddEmptyLines(1);
  LOG_AddSeparator(1);
  LOG_AddSeparator(1);
  LOG_AddEntry("End of log.", 3);
  LOG_AddSeparator(1);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
  m_strProgramName.clear();
  m_strProgramVersion.clear();
  return ok;
}
