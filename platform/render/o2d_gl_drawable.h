#pragma once
// The size the window's drawable really has, asked of the current OpenGL surface.
// SDL answers with the size it asked the window system for; without a window
// manager a full-screen request is never carried out, and the offscreen driver's
// surface keeps its first size, so the two can differ.
struct SDL_Window;

// The window's context must be current. Falls back to SDL's size when the
// surface cannot be asked.
void O2D_GLDrawableSize(SDL_Window* window, int& width, int& height);
