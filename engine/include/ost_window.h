#pragma once
// The process entry: single-instance guard, machine-fault handlers, the engine
// object, and the guarded run of the game entry.

// The game's entry: start-up sequence, frame loop and game shutdown.
using O2DGameEntry = void (*)();

// Runs the game and returns the process exit status: 0 after a normal end or
// when another instance already runs, 1 after a fatal error.
int ost_WinMain(O2DGameEntry gameEntry);

// Name of the single-instance guard.
inline constexpr const char* O2D_INSTANCE_NAME = "Ostrak2D App";
