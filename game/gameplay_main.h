#pragma once
// The game's frame: board input, the GUI walks, turns and tile movement,
// completion, and the drawing of the board, the cursor and the overlay.
#include <cstdint>

#include "gamelogic_main.h"

// One frame of the game; false ends the frame loop.
bool GamePlay_Frame();
// Resolves the textures, technique and font the game draws with.
void GamePlayLoadAssets();
// The board's redraw action: cells, tiles with their numbers, the focus frame.
void GameDrawBoard();

// The block under the cursor: its cells top-left, top-right, bottom-right and
// bottom-left; all -1 when there is none.
struct GameSelection {
  GAMECELL cells[4] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
  bool Exists() const { return cells[0].x != -1; }
};
const GameSelection& GameGetSelection();
bool GameIsOverlayOn();
// The block column (or row) whose centre is nearest to f cells from the board's
// edge, kept inside a board of `count` cells. The top row rule excludes 1.5
// where the column rule includes it.
int32_t GameBlockIndex(float f, int32_t count, bool column);
