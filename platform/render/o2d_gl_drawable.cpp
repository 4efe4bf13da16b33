#include "o2d_gl_drawable.h"

#include "o2d_sdl.h"
#include <epoxy/egl.h>
#include <epoxy/glx.h>

#include <cstring>

namespace {

// SDL makes X11 contexts with GLX unless it is told to use EGL.
bool SurfaceIsGLX() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver != nullptr && std::strcmp(driver, "x11") == 0 && glXGetCurrentContext() != nullptr;
}

bool AskGLX(int& width, int& height) {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable drawable = glXGetCurrentDrawable();
  if (display == nullptr || drawable == 0) return false;
  unsigned int w = 0, h = 0;
  glXQueryDrawable(display, drawable, GLX_WIDTH, &w);
  glXQueryDrawable(display, drawable, GLX_HEIGHT, &h);
  if (w == 0 || h == 0) return false;
  width = int(w);
  height = int(h);
  return true;
}

bool AskEGL(int& width, int& height) {
  if (eglGetCurrentContext() == EGL_NO_CONTEXT) return false;
  EGLDisplay display = eglGetCurrentDisplay();
  EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
  EGLint w = 0, h = 0;
  if (surface == EGL_NO_SURFACE || !eglQuerySurface(display, surface, EGL_WIDTH, &w) ||
      !eglQuerySurface(display, surface, EGL_HEIGHT, &h) || w <= 0 || h <= 0)
    return false;
  width = w;
  height = h;
  return true;
}

}  // namespace

void O2D_GLDrawableSize(SDL_Window* window, int& width, int& height) {
  if (SurfaceIsGLX() ? AskGLX(width, height) : AskEGL(width, height)) return;
  SDL_GL_GetDrawableSize(window, &width, &height);
}
