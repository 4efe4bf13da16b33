#include "gameplay_main.h"

#include <sstream>
#include <string>

#include "costrak.h"
#include "costrak_utils_demand.h"
#include "gameinit_routine.h"
#include "highscore.h"
#include "o2d_input.h"
#include "o2dgui_cguielement_main.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_GAMEPLAY_MAIN;

namespace {

struct CGameView {
  GameSelection Selection;
  float CursorX = 100.0f;
  float CursorY = 100.0f;
  bool Overlay = false;
  int32_t TexCell = -1, TexTile = -1, TexFocus = -1, TexCursor = -1, Technique = -1, Font = -1;
};
CGameView g_view;

void ClearSelection() { g_view.Selection = GameSelection{}; }

void BoardInput() {
  COstrak* pO2D = O2D_GetEngine();
  CGameLogicState& s = GameLogic();
  int32_t mx = 0, my = 0;
  pO2D->MouseGetCursorPos(mx, my);
  g_view.CursorX = static_cast<float>(mx);
  g_view.CursorY = static_cast<float>(my);
  const float x = g_view.CursorX, y = g_view.CursorY;
  // An edge is outside: the cursor must be strictly inside the board.
  const bool inside = x > s.BoardLeft && x < s.BoardLeft + static_cast<float>(s.Columns) * s.CellWidth &&
                      y > s.BoardTop && y < s.BoardTop + static_cast<float>(s.Rows) * s.CellHeight;
  if (s.GameState != GAMESTATE_WAITING || !inside) {
    ClearSelection();
    return;
  }
  const int32_t c = GameBlockIndex((x - s.BoardLeft) / s.CellWidth, s.Columns, true);
  const int32_t r = GameBlockIndex((y - s.BoardTop) / s.CellHeight, s.Rows, false);
  g_view.Selection.cells[0] = {c, r};
  g_view.Selection.cells[1] = {c + 1, r};
  g_view.Selection.cells[2] = {c + 1, r + 1};
  g_view.Selection.cells[3] = {c, r + 1};
  if (pO2D->MouseIsKeyClicked(1)) GameStartTurn(c, r, TURN_CLOCKWISE);
  if (pO2D->MouseIsKeyClicked(2)) GameStartTurn(c, r, TURN_COUNTERCLOCKWISE);
  GameShowMoves();
}

// The main window is disabled; a smaller count than the best (or the first
// result at all) asks for a name, anything else only congratulates.
void Completion() {
  COstrakGUI* gui = COstrakGUI::GetInstance();
  gui->ExecuteElementCommand(GAME_MAINWINDOW, GUICMD_DISABLE);
  const int32_t best = HighscoreGetMoves();
  const bool newBest = best <= 0 || GameLogic().MoveCounter < best;
  gui->ExecuteElementCommand(newBest ? "WND_DTP_HIGHSCORE" : "WND_DTP_COMPLETE", GUICMD_SHOW);
}

void Quad(int32_t texture, float x, float y, float width, float height) {
  COstrak* pO2D = O2D_GetEngine();
  pO2D->TexSet(texture, 0);
  pO2D->VQuadSetPos(x, y, width, height, 0.5f);
  pO2D->VQuadSetTexCoords(1, 0.0f, 0.0f, 1.0f, 1.0f);
  pO2D->VQuadSetColor(1.0f, 1.0f, 1.0f, 1.0f);
  pO2D->SceneRender();
}

void DrawCursorAndOverlay() {
  COstrak* pO2D = O2D_GetEngine();
  pO2D->TechApply(g_view.Technique);
  Quad(g_view.TexCursor, g_view.CursorX, g_view.CursorY, 32.0f, 32.0f);
  if (!g_view.Overlay) return;
  // The font's colour 0 is dark (tile labels): a tile face behind keeps it readable.
  Quad(g_view.TexTile, 682.0f, 14.0f, 118.0f, 54.0f);
  pO2D->FontSet(g_view.Font);
  pO2D->FontDrawTextEx(std::to_string(pO2D->TimerGetFPS()).c_str(), 690.0f, 20.0f, 0, 0, 1.0f, true, 0.5f, 0.0f, 0.0f);
  std::ostringstream load;
  load << pO2D->SoundGetCPU();
  pO2D->FontDrawTextEx(load.str().c_str(), 690.0f, 40.0f, 0, 0, 1.0f, true, 0.5f, 0.0f, 0.0f);
}

}  // namespace

const GameSelection& GameGetSelection() { return g_view.Selection; }
bool GameIsOverlayOn() { return g_view.Overlay; }

int32_t GameBlockIndex(float f, int32_t count, bool column) {
  int32_t index = -1;
  if (f >= static_cast<float>(count) - 1.5f) index = count - 2;
  if (f >= 0.0f && (column ? f <= 1.5f : f < 1.5f)) index = 0;
  if (index == -1) {
    for (int32_t k = 0; k < count; ++k) {
      if (static_cast<float>(k) + 1.5f <= f && f < static_cast<float>(k) + 2.5f) {
        index = k + 1;
        break;
      }
    }
  }
  return index;
}

void GamePlayLoadAssets() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  g_view = CGameView{};
  g_view.TexCell = O2DUTIL_DemandTexture("TEX_CELL");
  g_view.TexTile = O2DUTIL_DemandTexture("TEX_TILE");
  g_view.TexFocus = O2DUTIL_DemandTexture("TEX_FOCUS");
  g_view.TexCursor = O2DUTIL_DemandTexture("TEX_CURSOR");
  g_view.Font = O2DUTIL_DemandFont("FNT_FONT1");
  g_view.Technique = pO2D->GetTechniqueIID("TEQ_STD2");
}

void GameDrawBoard() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  CGameLogicState& s = GameLogic();
  if (s.GameState == GAMESTATE_NOGAME || !s.BoardCreated) return;
  pO2D->TechApply(g_view.Technique);
  for (int32_t x = 0; x < s.Columns; ++x)
    for (int32_t y = 0; y < s.Rows; ++y)
      Quad(g_view.TexCell, s.BoardLeft + static_cast<float>(x) * s.CellWidth,
           s.BoardTop + static_cast<float>(y) * s.CellHeight, s.CellWidth, s.CellHeight);
  for (int32_t x = 0; x < s.Columns; ++x) {
    for (int32_t y = 0; y < s.Rows; ++y) {
      const CGameElement* tile = s.Board.At(x, y);
      if (tile == nullptr) continue;
      Quad(g_view.TexTile, tile->GetScreenX(), tile->GetScreenY(), s.CellWidth, s.CellHeight);
      const int32_t n = tile->GetNumber();
      const float tx = tile->GetScreenX() + s.CellWidth * (n >= 1 && n <= 9 ? 0.38461539f : 0.23255813f);
      const float ty = tile->GetScreenY() + s.CellHeight * 0.29411763f;
      pO2D->FontSet(g_view.Font);
      pO2D->FontDrawTextEx(std::to_string(n).c_str(), tx, ty, 0, 0, 1.0f, true, 0.8f, 0.0f, 0.0f);
      pO2D->TechApply(g_view.Technique);
    }
  }
  const GameSelection& sel = g_view.Selection;
  if (sel.Exists() && s.GameState != GAMESTATE_DIALOG)
    Quad(g_view.TexFocus, s.BoardLeft + static_cast<float>(sel.cells[0].x) * s.CellWidth - 0.25f * s.CellWidth,
         s.BoardTop + static_cast<float>(sel.cells[0].y) * s.CellHeight - 0.25f * s.CellHeight, 2.5f * s.CellWidth,
         2.5f * s.CellHeight);
}

bool GamePlay_Frame() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  COstrakGUI* gui = COstrakGUI::GetInstance();
  CGameLogicState& s = GameLogic();
  s.FrameTime = pO2D->TimerGetDelta();
  BoardInput();
  // Buttons, text entry and window animations run their actions here.
  gui->Update();
  if (s.TurnSense != TURN_NONE && s.GameState == GAMESTATE_MOVING) {
    ProcessGameLogic();
    pO2D->SoundPlayByStrID("SND_PIECEMOVE", false, -1, -1, -101);
  }
  if (s.GameState != GAMESTATE_DIALOG && s.GameState != GAMESTATE_NOGAME) {
    UpdateGameElements();
    if (!IsAnyTileMoving() && s.GameState == GAMESTATE_MOVING) {
      s.GameState = GAMESTATE_WAITING;
      // A tile that arrived keeps its last in-between position until its next
      // update, and a dialog opened now stops the updates: snap them first.
      UpdateGameElements();
      if (IsBoardComplete()) Completion();
    }
  }
  if (pO2D->KeyboardIsKeyClicked(DIK_F2)) g_view.Overlay = !g_view.Overlay;

  pO2D->SceneBegin();
  pO2D->SceneClearScreen(0.0f, 0.0f, 0.0f);
  gui->Draw();
  DrawCursorAndOverlay();
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
