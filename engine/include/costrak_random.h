#pragma once
// The one random generator of the program. The board, the playlists and the GUI
// timers all draw from it, so what a starting board looks like depends on
// everything that drew before it.
#include <cstdint>

// The next value, 0 .. 32767. The state starts at 1 with the process and is never
// reseeded during a run, which keeps runs with the same actions identical.
uint32_t O2D_Random();

// Test use only: puts the generator back into a known state (1 is the state at start).
void O2D_RandomSeed(uint32_t state);
