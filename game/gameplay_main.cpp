#include "gameplay_main.h"

#include "costrak.h"
#include "o2d_input.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_GAMEPLAY_MAIN;

void GameModInit() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  // The game's data, in tag order; the game's script comes with tag 1.
  for (int32_t tag = 1; tag <= 8; ++tag) pO2D->LoadResources(tag);
}

bool GamePlay_Frame() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  COstrakGUI* gui = COstrakGUI::GetInstance();
  // Elements react to this frame's input before anything is drawn.
  if (gui) gui->Update();
  pO2D->SceneBegin();
  pO2D->SceneClearScreen(0.0f, 0.0f, 0.0f);
  if (gui) gui->Draw();
  pO2D->SceneEnd();
  pO2D->ScenePresent();
  if (pO2D->KeyboardIsKeyClicked(DIK_F9)) pO2D->SceneMakeScreenshot();
  // Every key clicked also goes to the game's script (a name it does not
  // define calls nothing).
  for (int32_t key = 1; pO2D->m_bScrReady && key < 256; ++key) {
    if (!pO2D->KeyboardIsKeyClicked(key)) continue;
    pO2D->AddParam(CLuaValue(key));
    pO2D->CallLuaFunction("TK_OnKeyClicked", -1);
  }
  return true;
}
