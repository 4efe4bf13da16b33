#pragma once
// The game module's start: the native actions its GUI data binds, the
// resources and settings, and the steps every new game takes.
#include <cstdint>

// Once after every engine subsystem has started and the GUI manager exists.
void GameModInit();
// Checks the board settings, reads the board geometry from the GUI, starts the
// music and shows the move counter and the best result.
void GamePlay_Init();
// A new board, the best result read again, the move counter shown.
void GameNewGame();

// The GUI's element IDs and parameters the game talks to.
inline constexpr const char* GAME_MAINWINDOW = "WND_DTP_MAINWINDOW";
inline constexpr const char* GAME_BOARD = "FLX_MW_GAMEBOARD";
inline constexpr const char* GAME_MOVES_LABEL = "L_MW_MOVES_MOVES";
// Shows the move counter on its label.
void GameShowMoves();
