#pragma once
// The game module's initialisation and its per-frame callback.

// Runs once after every engine subsystem has started.
void GameModInit();
// One frame of the game; false ends the frame loop.
bool GamePlay_Frame();
