#pragma once
// The one place where the engine's opaque window handle meets SDL. Only platform
// sources and tests include this.
#include <SDL.h>

#include "o2d_window_handle.h"

inline SDL_Window* O2D_ToSDLWindow(O2DWindowHandle window) { return reinterpret_cast<SDL_Window*>(window); }
inline O2DWindowHandle O2D_FromSDLWindow(SDL_Window* window) { return reinterpret_cast<O2DWindowHandle>(window); }

// The key code of an SDL scancode; 0 for a key the engine does not know.
uint8_t O2D_ScancodeToKeyCode(SDL_Scancode scancode);
