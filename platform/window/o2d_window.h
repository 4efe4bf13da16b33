#pragma once
// The game window and the event pump. The window is an SDL window made for an
// OpenGL 3.3 core context; "full screen" is a desktop-sized borderless window, and
// OSTRAK2D_WINDOWED=1 shows the same frame in an ordinary window instead.
#include <string>

#include "o2d_window_handle.h"

// Receives what the pump finds: focus changes (the activation messages) and every
// event, so that input can build its per-frame snapshots.
class IO2DWindowEvents {
 public:
  virtual ~IO2DWindowEvents() = default;
  virtual void OnActivate(bool active) = 0;
  // The window was closed: the program is about to quit.
  virtual void OnClose() {}
  virtual void OnWindowEvent(const O2DWindowEvent& event) { (void)event; }
};

class CO2DWindow {
 public:
  CO2DWindow() = default;
  ~CO2DWindow();
  CO2DWindow(const CO2DWindow&) = delete;
  CO2DWindow& operator=(const CO2DWindow&) = delete;

  // Creates the hidden window; false when the platform cannot (O2D_LastError says why).
  bool Create(const std::string& title, int width, int height, bool windowed);
  void Show();
  void Hide();
  void Destroy();

  O2DWindowHandle GetHandle() const { return m_pWindow; }
  bool IsMinimized() const;
  // Size of the drawable area the frame is presented on (O2D_GetPresentedSize).
  void GetDrawableSize(int& width, int& height) const;

  // True when the environment asks for an ordinary window.
  static bool WindowedByEnvironment();

 private:
  O2DWindowHandle m_pWindow = nullptr;
};

// The one message box of the program (OK button, no owner window); without a
// display the caption and text go to standard error.
void O2D_ShowMessageBox(const char* caption, const char* text);

// Starts the event and video back end once; false when no video driver works.
bool O2D_InitVideo();

// The renderer's probe is a hidden OpenGL window made before the game window;
// offered here, it becomes the game window instead of a second one being made.
// Null withdraws the offer; withdrawing returns whether `window` was on offer.
void O2D_OfferSpareWindow(O2DWindowHandle window);
bool O2D_WithdrawSpareWindow(O2DWindowHandle window);
// The drawable size the window's last present found: the size the window really
// has, which the mouse is mapped with too. Until a present, SDL's drawable size.
void O2D_SetPresentedSize(O2DWindowHandle window, int width, int height);
void O2D_GetPresentedSize(O2DWindowHandle window, int& width, int& height);
// The class name X11 window managers see, set before any window is made.
void O2D_SetWindowClass();
// The back end's text for its last failure.
const char* O2D_LastError();

// Takes every pending event. Returns false when a quit was seen (the window was
// closed, or SIGINT / SIGTERM asked for it); the remaining events stay queued.
bool O2D_PumpEvents(IO2DWindowEvents& sink);
// Blocks until the next event (or a quit request from a signal).
void O2D_WaitEvent();
// Signal-safe: makes the next pump report a quit.
void O2D_RequestQuitFromSignal();
bool O2D_QuitSignalled();
