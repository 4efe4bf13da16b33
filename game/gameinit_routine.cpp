#include "gameinit_routine.h"

#include <string>

#include "costrak.h"
#include "costrak_utils_cxmlvar.h"
#include "gamelogic_main.h"
#include "gameplay_main.h"
#include "highscore.h"
#include "o2dgui_cguielement_main.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_GAMEINIT_ROUTINE;

namespace {

struct CGameVars {
  CXMLVarInt GameID{"kavelgameid"};
  CXMLVarInt SizeX{"sizex"};
  CXMLVarInt SizeY{"sizey"};
  CXMLVarFloat ActionTime{"actiontime"};
};
// Declared before the game's data is loaded, so the data can set them.
CGameVars& GameVars() {
  static CGameVars vars;
  return vars;
}

std::string ElementText(const char* id) {
  CGUIValue value;
  COstrakGUI::Get().GetElementParam(id, GUIP_TEXT, value);
  return value.GetString();
}

// OK is only for a name that is not empty.
void UpdateNameOK() {
  COstrakGUI::Get().ExecuteElementCommand("BTN_HS_OK", ElementText("TBX_HS_NAME").empty() ? GUICMD_DISABLE : GUICMD_ENABLE);
}

void CloseDialog(const char* window) {
  COstrakGUI::Get().ExecuteElementCommand(window, GUICMD_HIDE);
  COstrakGUI::Get().ExecuteElementCommand(GAME_MAINWINDOW, GUICMD_ENABLE);
}

void OnMainWindowShow() {}
void OnStartPress() { GameNewGame(); }
void OnHelpPress() {
  if (GameLogic().GameState == GAMESTATE_MOVING) return;
  COstrakGUI::Get().ExecuteElementCommand(GAME_MAINWINDOW, GUICMD_DISABLE);
  COstrakGUI::Get().ExecuteElementCommand("WND_DTP_HELP", GUICMD_SHOW);
}
void OnExitPress() { COstrak::RequestQuit(); }
void OnBoardRedraw() { GameDrawBoard(); }
void OnDialogShow() { GameLogic().GameState = GAMESTATE_DIALOG; }
void OnCompleteOK() {
  CloseDialog("WND_DTP_COMPLETE");
  GameNewGame();
}
void OnHighscoreShow() {
  UpdateNameOK();
  // The name can be typed at once, without a click into the box first.
  COstrakGUI::Get().ExecuteElementCommand("TBX_HS_NAME", GUICMD_ENABLE);
  GameLogic().GameState = GAMESTATE_DIALOG;
}
void OnHighscoreOK() {
  CloseDialog("WND_DTP_HIGHSCORE");
  HighscoreSet(ElementText("TBX_HS_NAME"), GameLogic().MoveCounter);
  SaveFile();
  GameNewGame();
}
void OnNameInput() { UpdateNameOK(); }
void OnHelpOK() {
  CloseDialog("WND_DTP_HELP");
  GameLogic().GameState = GameLogic().BoardCreated ? GAMESTATE_WAITING : GAMESTATE_NOGAME;
}

}  // namespace

void GameShowMoves() {
  COstrakGUI::Get().SetElementParam(GAME_MOVES_LABEL, GUIP_TEXT, CGUIValue(std::to_string(GameLogic().MoveCounter)));
}

void GameModInit() {
  EHS_CP();
  COstrak* pO2D = O2D_GetEngine();
  COstrakGUI& gui = COstrakGUI::Get();
  // Before any GUI data is loaded, so the data can bind them.
  gui.RegisterAction("WND_DTP_MAINWINDOW_ONSHOW", &OnMainWindowShow);
  gui.RegisterAction("BTN_MW_START_ONPRESS", &OnStartPress);
  gui.RegisterAction("BTN_MW_HELP_ONPRESS", &OnHelpPress);
  gui.RegisterAction("BTN_MW_EXIT_ONPRESS", &OnExitPress);
  gui.RegisterAction("FLX_MW_GAMEBOARD_ONREDRAW", &OnBoardRedraw);
  gui.RegisterAction("WND_DTP_COMPLETE_ONSHOW", &OnDialogShow);
  gui.RegisterAction("BTN_CMP_OK_ONPRESS", &OnCompleteOK);
  gui.RegisterAction("WND_DTP_HIGHSCORE_ONSHOW", &OnHighscoreShow);
  gui.RegisterAction("BTN_HS_OK_ONPRESS", &OnHighscoreOK);
  gui.RegisterAction("TBX_HS_NAME_ONINPUT", &OnNameInput);
  gui.RegisterAction("WND_DTP_HELP_ONSHOW", &OnDialogShow);
  gui.RegisterAction("BTN_HLP_OK_ONPRESS", &OnHelpOK);

  CGameVars& vars = GameVars();
  // The game's data, in tag order; the game's script comes with tag 1.
  for (int32_t tag = 1; tag <= 8; ++tag) pO2D->LoadResources(tag);
  if (vars.GameID.GetValue() != 2) EHS_RAISE(EHS_GAME, 0, "Error in GameModInit: invalid resource ID!");

  CGameLogicState& s = GameLogic();
  s.ActionTime = vars.ActionTime.GetValue();
  s.Columns = vars.SizeX.GetValue();
  s.Rows = vars.SizeY.GetValue();
  GamePlay_Init();
  gui.ExecuteElementCommand(GAME_MAINWINDOW, GUICMD_SHOW);
}

void GamePlay_Init() {
  EHS_CP();
  CGameLogicState& s = GameLogic();
  // A board needs one 2 x 2 block at least: the block rules address cell -1 otherwise.
  if (s.Columns < 2) EHS_RAISE(EHS_GAME, 0, "Error in GamePlay_Init(): invalid array size X!");
  if (s.Rows < 2) EHS_RAISE(EHS_GAME, 0, "Error in GamePlay_Init(): invalid array size Y!");
  CGUIValue coords;
  COstrakGUI::Get().GetElementParam(GAME_BOARD, GUIP_COORDS, coords);
  const GUIRECT& r = coords.GetRect();
  s.BoardLeft = r.x;
  s.BoardTop = r.y;
  s.CellWidth = r.width;  // the size of one cell, not of the whole board
  s.CellHeight = r.height;
  GamePlayLoadAssets();
  O2D_GetEngine()->MusicPlayByStrID("MUS_GAME", true, 3000);
  GameShowMoves();
  ShowBestResult();
}

void GameNewGame() {
  EHS_CP();
  GameFree();
  ShowBestResult();
  GameNewBoard();
  // Small boards have deals no turns can solve, and a deal can come out
  // solved already (one in four solvable 2 x 2 deals): deal those again.
  while (!IsBoardSolvable() || IsBoardComplete()) GameNewBoard();
  COstrakGUI::Get().SetElementParam("TILE_MW_MOVES", GUIP_VISIBLE, CGUIValue(true));
  GameShowMoves();
}
