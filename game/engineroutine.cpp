#include "engineroutine.h"

#include <new>

#include "costrak.h"
#include "costrak_gfx_types.h"
#include "gamelogic_main.h"
#include "gameinit_routine.h"
#include "gameplay_main.h"
#include "o2d_window.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_ENGINEROUTINE;

namespace {
COstrak* g_pO2D = nullptr;
int g_iSelectedDisplayMode = 1;
bool g_bShutdownDone = false;
COstrakGUI* g_pGUI = nullptr;

// Pre-initialises graphics at the game's size and picks the display mode:
// 32-bit first, then 16-bit; with neither the player is told and the game quits.
void VideoCheck() {
  EHS_CP();
  g_pO2D->GfxPreInit(800, 600);
  VideoCaps caps;
  g_pO2D->GfxGetCaps(caps);
  if (caps.DisplayMode2.bValid) {
    g_iSelectedDisplayMode = 2;
  } else if (caps.DisplayMode1.bValid) {
    g_iSelectedDisplayMode = 1;
  } else {
    O2D_ShowMessageBox("No video modes available!",
                       "No video modes available: your video card cannot handle 800x600x16bit resolution");
    COstrak::RequestQuit();
  }
}
}  // namespace

int GameGetSelectedDisplayMode() { return g_iSelectedDisplayMode; }

void Engine_InitResourcesSubsystem() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  if (!pO2D) EHS_RAISE(EHS_GENERAL, 0, "Error in Engine_InitResourcesSubsystem: pO2D == NULL!");
  pO2D->ResInit();
}

void GameShutdown() {
  EHS_CP();
  if (g_bShutdownDone) return;
  g_bShutdownDone = true;
  GameFree();
  if (g_pO2D) g_pO2D->MusicStop(3000);
  delete g_pGUI;
  g_pGUI = nullptr;
}

void GameEngineEntry() {
  EHS_CP();
  g_pO2D = O2D_GetEngine();
  g_bShutdownDone = false;
  EHS_ASSERT(g_pO2D);

  g_pO2D->Start(GAME_PROGRAM_NAME, GAME_PROGRAM_VERSION);
  g_pO2D->RegisterCallback(&GameShutdown, O2D_CALLBACK_TERMINATION);
  Engine_InitResourcesSubsystem();

  if (!COstrak::IsQuitRequested()) VideoCheck();

  if (!COstrak::IsQuitRequested()) {
    g_pO2D->GfxInit(g_iSelectedDisplayMode, false);
    g_pO2D->InitInputSubsystem();
    g_pO2D->SoundInit(44100);
    g_pO2D->ScrInit();
    g_pGUI = new (std::nothrow) COstrakGUI();
    if (!g_pGUI) EHS_RAISE(EHS_GENERAL, 0, "Cannot create GUI Manager object!");
  }

  if (!COstrak::IsQuitRequested()) {
    GameModInit();
    g_pO2D->RunFrameLoop(&GamePlay_Frame);
  }

  GameShutdown();
}
