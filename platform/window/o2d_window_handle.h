#pragma once
// The game window as the engine passes it around: an opaque handle that only the
// platform layer opens (o2d_sdl.h turns it back into the SDL window).
struct O2DNativeWindow;
using O2DWindowHandle = O2DNativeWindow*;

// What the event pump reports besides quit and focus: the engine reads no back
// end's event type.
struct O2DWindowEvent {
  enum Kind { Other, FocusGained, FocusLost, Minimized, Restored };
  Kind kind = Other;
  O2DWindowHandle window = nullptr;  // the window the event belongs to, if any
};
