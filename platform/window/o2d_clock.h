#pragma once
// The engine's millisecond clock (wraps like a 32-bit tick counter). Tests may
// replace it to drive the frame timer.
#include <cstdint>

using O2DClockFn = uint32_t (*)();
uint32_t O2D_TimeGetTime();
// Null restores the system clock.
void O2D_SetClock(O2DClockFn fn);
