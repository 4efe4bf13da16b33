#include "gameplay_main.h"

#include "costrak.h"
#include "o2d_input.h"

static constexpr int EHS_FILE_ID = EHSF_GAMEPLAY_MAIN;

void GameModInit() { EHS_CP(); }

bool GamePlay_Frame() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  pO2D->SceneBegin();
  pO2D->SceneClearScreen(0.0f, 0.0f, 0.0f);
  pO2D->SceneEnd();
  pO2D->ScenePresent();
  if (pO2D->KeyboardIsKeyClicked(DIK_F9)) pO2D->SceneMakeScreenshot();
  return true;
}
