#include "o2d_window.h"

#include "o2d_sdl.h"

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
volatile std::sig_atomic_t g_quitSignal = 0;
O2DWindowHandle g_spareWindow = nullptr;
}

void O2D_OfferSpareWindow(O2DWindowHandle window) { g_spareWindow = window; }

bool O2D_WithdrawSpareWindow(O2DWindowHandle window) {
  if (window == nullptr || g_spareWindow != window) return false;
  g_spareWindow = nullptr;
  return true;
}

// Kept with the window itself, packed into its data pointer, so it goes with it.
constexpr const char* kPresentedSizeKey = "o2d.presented_size";

void O2D_SetPresentedSize(O2DWindowHandle window, int width, int height) {
  if (window == nullptr || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) return;
  const uintptr_t packed = (uintptr_t(width) << 16) | uintptr_t(height);
  SDL_SetWindowData(O2D_ToSDLWindow(window), kPresentedSizeKey, reinterpret_cast<void*>(packed));
}

void O2D_GetPresentedSize(O2DWindowHandle window, int& width, int& height) {
  width = height = 0;
  if (window == nullptr) return;
  SDL_Window* sdl = O2D_ToSDLWindow(window);
  if (const auto packed = reinterpret_cast<uintptr_t>(SDL_GetWindowData(sdl, kPresentedSizeKey)); packed != 0) {
    width = int(packed >> 16);
    height = int(packed & 0xFFFFu);
    return;
  }
  SDL_GL_GetDrawableSize(sdl, &width, &height);
}

void O2D_SetWindowClass() { SDL_setenv("SDL_VIDEO_X11_WMCLASS", "o2d_gamewindow", 0); }

void O2D_RequestQuitFromSignal() { g_quitSignal = 1; }
bool O2D_QuitSignalled() { return g_quitSignal != 0; }

void O2D_ShowMessageBox(const char* caption, const char* text) {
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) != 0)
    std::fprintf(stderr, "%s\n%s\n", caption, text);
}

const char* O2D_LastError() { return SDL_GetError(); }

bool O2D_InitVideo() {
  // SDL reads the X window class when its video starts, not when a window is made.
  O2D_SetWindowClass();
  // The engine installs its own SIGINT / SIGTERM handlers.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == (SDL_INIT_VIDEO | SDL_INIT_EVENTS)) return true;
  return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

bool CO2DWindow::WindowedByEnvironment() {
  const char* v = std::getenv("OSTRAK2D_WINDOWED");
  return v && std::strcmp(v, "1") == 0;
}

CO2DWindow::~CO2DWindow() { Destroy(); }

bool CO2DWindow::Create(const std::string& title, int width, int height, bool windowed) {
  if (m_pWindow) return true;
  if (!O2D_InitVideo()) return false;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  const bool fullScreen = !windowed && !WindowedByEnvironment();
  const int x = fullScreen ? 0 : 100, y = fullScreen ? 0 : 100;
  if (fullScreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
  // The renderer's hidden probe, when there is one, becomes this window.
  if (O2DWindowHandle spare = g_spareWindow; O2D_WithdrawSpareWindow(spare)) {
    SDL_Window* window = O2D_ToSDLWindow(spare);
    SDL_SetWindowTitle(window, title.c_str());
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, x, y);
    if (fullScreen) {
      SDL_SetWindowBordered(window, SDL_FALSE);
      SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    m_pWindow = spare;
    return true;
  }
  m_pWindow = O2D_FromSDLWindow(SDL_CreateWindow(title.c_str(), x, y, width, height, flags));
  return m_pWindow != nullptr;
}

void CO2DWindow::Show() {
  if (m_pWindow) SDL_ShowWindow(O2D_ToSDLWindow(m_pWindow));
}

void CO2DWindow::Hide() {
  if (m_pWindow) SDL_HideWindow(O2D_ToSDLWindow(m_pWindow));
}

void CO2DWindow::Destroy() {
  if (m_pWindow) {
    SDL_DestroyWindow(O2D_ToSDLWindow(m_pWindow));
    m_pWindow = nullptr;
  }
}

bool CO2DWindow::IsMinimized() const {
  return m_pWindow && (SDL_GetWindowFlags(O2D_ToSDLWindow(m_pWindow)) & SDL_WINDOW_MINIMIZED) != 0;
}

void CO2DWindow::GetDrawableSize(int& width, int& height) const { O2D_GetPresentedSize(m_pWindow, width, height); }

bool O2D_PumpEvents(IO2DWindowEvents& sink) {
  if (g_quitSignal) return false;
  if (!SDL_WasInit(SDL_INIT_EVENTS)) return true;
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    if (ev.type == SDL_QUIT) {
      sink.OnClose();
      return false;
    }
    O2DWindowEvent event;
    if (ev.type == SDL_WINDOWEVENT) {
      event.window = O2D_FromSDLWindow(SDL_GetWindowFromID(ev.window.windowID));
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: event.kind = O2DWindowEvent::FocusGained; break;
        case SDL_WINDOWEVENT_FOCUS_LOST: event.kind = O2DWindowEvent::FocusLost; break;
        case SDL_WINDOWEVENT_MINIMIZED: event.kind = O2DWindowEvent::Minimized; break;
        case SDL_WINDOWEVENT_RESTORED: event.kind = O2DWindowEvent::Restored; break;
        default: break;
      }
      if (event.kind == O2DWindowEvent::FocusGained) sink.OnActivate(true);
      else if (event.kind == O2DWindowEvent::FocusLost) sink.OnActivate(false);
    }
    sink.OnWindowEvent(event);
  }
  return !g_quitSignal;
}

void O2D_WaitEvent() {
  if (!SDL_WasInit(SDL_INIT_EVENTS)) {
    SDL_Delay(10);
    return;
  }
  // Short waits so that a quit requested by a signal is seen promptly.
  while (!g_quitSignal && !SDL_WaitEventTimeout(nullptr, 100)) {
  }
}
