#pragma once
// The game's entry into the engine: the start-up sequence, the frame loop and
// the game's shutdown, in their fixed order.

inline constexpr const char* GAME_PROGRAM_NAME = "TavroKavel";
inline constexpr const char* GAME_PROGRAM_VERSION = "v. 1.0";

// Runs inside the process entry's guarded region (ost_WinMain).
void GameEngineEntry();
// The game shutdown: runs once, also through the termination callback after a
// fatal error.
void GameShutdown();
// Starts the resource subsystem of the engine instance.
void Engine_InitResourcesSubsystem();
// The display mode chosen by the video check (1 or 2).
int GameGetSelectedDisplayMode();
