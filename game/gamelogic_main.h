#pragma once
// The rules of the board: settings, geometry and state of the one process-wide
// board, making a new board, turning a 2 x 2 block, moving the tiles and the
// completion test. The game flow drives these every frame.
#include <cstdint>

#include "cgame_element.h"
#include "t2dsafearray.h"

enum : int32_t {
  GAMESTATE_WAITING = 1,  // waiting for a move
  GAMESTATE_MOVING = 2,   // tiles moving
  GAMESTATE_DIALOG = 3,   // a dialog window is open
  GAMESTATE_NOGAME = 4,   // no game yet
};

enum : int32_t {
  TURN_NONE = 0,
  TURN_CLOCKWISE = 1,
  TURN_COUNTERCLOCKWISE = 2,
};

// A cell of the board, 0-based.
struct GAMECELL {
  int32_t x = 0;
  int32_t y = 0;
};

using TGameBoard = T2DSafeArray<CGameElement*, nullptr>;

struct CGameLogicState {
  // Settings, from the XML variables "sizex", "sizey" and "actiontime".
  int32_t Columns = 0;
  int32_t Rows = 0;
  float ActionTime = 0.0f;  // seconds per tile movement

  // Geometry, from the board's GUI element: the board covers Columns x CellWidth
  // by Rows x CellHeight pixels from (BoardLeft, BoardTop).
  float BoardLeft = 0.0f;
  float BoardTop = 0.0f;
  float CellWidth = 0.0f;
  float CellHeight = 0.0f;

  int32_t GameState = GAMESTATE_NOGAME;
  int32_t MoveCounter = 0;
  bool BoardCreated = false;  // stays true once the first board exists
  float FrameTime = 0.0f;     // the frame delta in seconds, stored at the start of every frame

  // The block of the last turn: top-left, top-right, bottom-right, bottom-left.
  GAMECELL TurnBlock[4];
  // The tiles the last turn set in motion, from the top-left, top-right,
  // bottom-left and bottom-right cells (null where the block leaves the board).
  CGameElement* MovingTiles[4] = {nullptr, nullptr, nullptr, nullptr};
  int32_t TurnSense = TURN_NONE;  // the turn still to be applied to the board

  // Cells (x, y), 0-based; the board owns the tiles in it.
  TGameBoard Board;
};

// The process-wide board state.
CGameLogicState& GameLogic();
// Test use only: deletes every tile and puts the whole state back to its values
// at process start (no board, game state 4).
void GameLogicReset();

// Screen position of cell (column, row), both 1-based.
float GameCellPosX(int32_t column);
float GameCellPosY(int32_t row);

// Start of every game: move counter 0, game state 1, a board of Columns x Rows
// with the tiles 1 .. Columns x Rows in random cells. Tiles of an earlier board
// that were not freed are deleted first.
void GameNewBoard();
// Turns the 2 x 2 block whose top-left cell is (c, r) (0-based) clockwise (1) or
// counter-clockwise (2): sets its tiles in motion, counts the move, game state 2.
void GameStartTurn(int32_t c, int32_t r, int32_t sense);
// Applies the started turn to the board array (same frame as GameStartTurn).
void ProcessGameLogic();
// Updates every tile (every frame while a game runs).
void UpdateGameElements();
bool IsAnyTileMoving();
// True when the tiles read 1, 2, 3 ... row by row from the top-left cell.
bool IsBoardComplete();
// Deletes every tile (on the board and in the moving-tiles slots) exactly once.
void GameFree();
// Whether turns can bring the current board to 1, 2, 3 ... Boards of 2 x 2,
// 2 x 3 and 3 x 2 reach only some orders (4 of 24, 120 of 720); larger boards
// reach every order.
bool IsBoardSolvable();
