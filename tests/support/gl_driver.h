#pragma once
#include <SDL.h>

#include "o2d_window.h"

// SDL unloads the GL driver together with the last OpenGL window, and the
// driver's display records then read as leaks under the sanitizer. Keeping the
// driver loaded for the whole test program keeps them reachable.
inline void KeepGLDriverLoaded() {
  static const bool loaded = O2D_InitVideo() && SDL_GL_LoadLibrary(nullptr) == 0;
  (void)loaded;
}
