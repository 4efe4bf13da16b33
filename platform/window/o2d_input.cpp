#include "o2d_input.h"
#include "o2d_backends.h"

#include <array>
#include <cstring>

#include "o2d_letterbox.h"
#include "o2d_sdl.h"
#include "o2d_window.h"

namespace {

struct ScancodeKey {
  SDL_Scancode scancode;
  uint8_t key;
};

// Every key the engine has a name for, and a few more that have a classic code.
constexpr ScancodeKey kScancodeKeys[] = {
    {SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
    {SDL_SCANCODE_1, DIK_1},
    {SDL_SCANCODE_2, DIK_2},
    {SDL_SCANCODE_3, DIK_3},
    {SDL_SCANCODE_4, DIK_4},
    {SDL_SCANCODE_5, DIK_5},
    {SDL_SCANCODE_6, DIK_6},
    {SDL_SCANCODE_7, DIK_7},
    {SDL_SCANCODE_8, DIK_8},
    {SDL_SCANCODE_9, DIK_9},
    {SDL_SCANCODE_0, DIK_0},
    {SDL_SCANCODE_MINUS, DIK_MINUS},
    {SDL_SCANCODE_EQUALS, DIK_EQUALS},
    {SDL_SCANCODE_BACKSPACE, DIK_BACK},
    {SDL_SCANCODE_TAB, DIK_TAB},
    {SDL_SCANCODE_Q, DIK_Q},
    {SDL_SCANCODE_W, DIK_W},
    {SDL_SCANCODE_E, DIK_E},
    {SDL_SCANCODE_R, DIK_R},
    {SDL_SCANCODE_T, DIK_T},
    {SDL_SCANCODE_Y, DIK_Y},
    {SDL_SCANCODE_U, DIK_U},
    {SDL_SCANCODE_I, DIK_I},
    {SDL_SCANCODE_O, DIK_O},
    {SDL_SCANCODE_P, DIK_P},
    {SDL_SCANCODE_LEFTBRACKET, DIK_LBRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, DIK_RBRACKET},
    {SDL_SCANCODE_RETURN, DIK_RETURN},
    {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
    {SDL_SCANCODE_A, DIK_A},
    {SDL_SCANCODE_S, DIK_S},
    {SDL_SCANCODE_D, DIK_D},
    {SDL_SCANCODE_F, DIK_F},
    {SDL_SCANCODE_G, DIK_G},
    {SDL_SCANCODE_H, DIK_H},
    {SDL_SCANCODE_J, DIK_J},
    {SDL_SCANCODE_K, DIK_K},
    {SDL_SCANCODE_L, DIK_L},
    {SDL_SCANCODE_SEMICOLON, DIK_SEMICOLON},
    {SDL_SCANCODE_APOSTROPHE, DIK_APOSTROPHE},
    {SDL_SCANCODE_GRAVE, DIK_GRAVE},
    {SDL_SCANCODE_LSHIFT, DIK_LSHIFT},
    {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH},
    // The ISO key beside Return sends the same code as the US backslash key.
    {SDL_SCANCODE_NONUSHASH, DIK_BACKSLASH},
    {SDL_SCANCODE_Z, DIK_Z},
    {SDL_SCANCODE_X, DIK_X},
    {SDL_SCANCODE_C, DIK_C},
    {SDL_SCANCODE_V, DIK_V},
    {SDL_SCANCODE_B, DIK_B},
    {SDL_SCANCODE_N, DIK_N},
    {SDL_SCANCODE_M, DIK_M},
    {SDL_SCANCODE_COMMA, DIK_COMMA},
    {SDL_SCANCODE_PERIOD, DIK_PERIOD},
    {SDL_SCANCODE_SLASH, DIK_SLASH},
    {SDL_SCANCODE_RSHIFT, DIK_RSHIFT},
    {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY},
    {SDL_SCANCODE_LALT, DIK_LMENU},
    {SDL_SCANCODE_SPACE, DIK_SPACE},
    {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL},
    {SDL_SCANCODE_F1, DIK_F1},
    {SDL_SCANCODE_F2, DIK_F2},
    {SDL_SCANCODE_F3, DIK_F3},
    {SDL_SCANCODE_F4, DIK_F4},
    {SDL_SCANCODE_F5, DIK_F5},
    {SDL_SCANCODE_F6, DIK_F6},
    {SDL_SCANCODE_F7, DIK_F7},
    {SDL_SCANCODE_F8, DIK_F8},
    {SDL_SCANCODE_F9, DIK_F9},
    {SDL_SCANCODE_F10, DIK_F10},
    {SDL_SCANCODE_NUMLOCKCLEAR, DIK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, DIK_SCROLL},
    {SDL_SCANCODE_KP_7, DIK_NUMPAD7},
    {SDL_SCANCODE_KP_8, DIK_NUMPAD8},
    {SDL_SCANCODE_KP_9, DIK_NUMPAD9},
    {SDL_SCANCODE_KP_MINUS, DIK_SUBTRACT},
    {SDL_SCANCODE_KP_4, DIK_NUMPAD4},
    {SDL_SCANCODE_KP_5, DIK_NUMPAD5},
    {SDL_SCANCODE_KP_6, DIK_NUMPAD6},
    {SDL_SCANCODE_KP_PLUS, DIK_ADD},
    {SDL_SCANCODE_KP_1, DIK_NUMPAD1},
    {SDL_SCANCODE_KP_2, DIK_NUMPAD2},
    {SDL_SCANCODE_KP_3, DIK_NUMPAD3},
    {SDL_SCANCODE_KP_0, DIK_NUMPAD0},
    {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL},
    {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102},
    {SDL_SCANCODE_F11, DIK_F11},
    {SDL_SCANCODE_F12, DIK_F12},
    {SDL_SCANCODE_F13, DIK_F13},
    {SDL_SCANCODE_F14, DIK_F14},
    {SDL_SCANCODE_F15, DIK_F15},
    {SDL_SCANCODE_KP_EQUALS, DIK_NUMPADEQUALS},
    {SDL_SCANCODE_AUDIOPREV, DIK_PREVTRACK},
    {SDL_SCANCODE_STOP, DIK_STOP},
    {SDL_SCANCODE_AUDIONEXT, DIK_NEXTTRACK},
    {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER},
    {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
    {SDL_SCANCODE_MUTE, DIK_MUTE},
    {SDL_SCANCODE_AUDIOMUTE, DIK_MUTE},
    {SDL_SCANCODE_CALCULATOR, DIK_CALCULATOR},
    {SDL_SCANCODE_AUDIOPLAY, DIK_PLAYPAUSE},
    {SDL_SCANCODE_AUDIOSTOP, DIK_MEDIASTOP},
    {SDL_SCANCODE_VOLUMEDOWN, DIK_VOLUMEDOWN},
    {SDL_SCANCODE_VOLUMEUP, DIK_VOLUMEUP},
    {SDL_SCANCODE_AC_HOME, DIK_WEBHOME},
    {SDL_SCANCODE_WWW, DIK_WEBHOME},
    {SDL_SCANCODE_KP_COMMA, DIK_NUMPADCOMMA},
    {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE},
    {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ},
    {SDL_SCANCODE_SYSREQ, DIK_SYSRQ},
    {SDL_SCANCODE_RALT, DIK_RMENU},
    {SDL_SCANCODE_PAUSE, DIK_PAUSE},
    {SDL_SCANCODE_HOME, DIK_HOME},
    {SDL_SCANCODE_UP, DIK_UP},
    {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
    {SDL_SCANCODE_LEFT, DIK_LEFT},
    {SDL_SCANCODE_RIGHT, DIK_RIGHT},
    {SDL_SCANCODE_END, DIK_END},
    {SDL_SCANCODE_DOWN, DIK_DOWN},
    {SDL_SCANCODE_PAGEDOWN, DIK_NEXT},
    {SDL_SCANCODE_INSERT, DIK_INSERT},
    {SDL_SCANCODE_DELETE, DIK_DELETE},
    {SDL_SCANCODE_LGUI, DIK_LWIN},
    {SDL_SCANCODE_RGUI, DIK_RWIN},
    {SDL_SCANCODE_APPLICATION, DIK_APPS},
    {SDL_SCANCODE_POWER, DIK_POWER},
    {SDL_SCANCODE_SLEEP, DIK_SLEEP},
    {SDL_SCANCODE_AC_SEARCH, DIK_WEBSEARCH},
    {SDL_SCANCODE_AC_BOOKMARKS, DIK_WEBFAVORITES},
    {SDL_SCANCODE_AC_REFRESH, DIK_WEBREFRESH},
    {SDL_SCANCODE_AC_STOP, DIK_WEBSTOP},
    {SDL_SCANCODE_AC_FORWARD, DIK_WEBFORWARD},
    {SDL_SCANCODE_AC_BACK, DIK_WEBBACK},
    {SDL_SCANCODE_COMPUTER, DIK_MYCOMPUTER},
    {SDL_SCANCODE_MAIL, DIK_MAIL},
    {SDL_SCANCODE_MEDIASELECT, DIK_MEDIASELECT},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> BuildScancodeTable() {
  std::array<uint8_t, SDL_NUM_SCANCODES> table{};
  for (const ScancodeKey& entry : kScancodeKeys) table[entry.scancode] = entry.key;
  return table;
}
constexpr std::array<uint8_t, SDL_NUM_SCANCODES> kScancodeTable = BuildScancodeTable();

// SDL numbers the buttons left, middle, right, side 1, side 2; the engine left, right, middle.
int ButtonIndex(Uint8 sdlButton) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    default: return (sdlButton >= SDL_BUTTON_X1 && sdlButton <= 8) ? sdlButton - 1 : -1;
  }
}

// Button states (0x80 down) that hold a press until a snapshot has seen it.
template <size_t N>
class LatchedButtons {
 public:
  const uint8_t* State() const { return m_state; }
  void Set(size_t i, bool down) {
    if (down) {
      // A key's repeats are no new press: a held key stays releasable at once.
      if (!m_state[i]) m_unseen[i] = true;
      m_state[i] = 0x80;
      m_release[i] = false;
    } else if (m_unseen[i]) {
      m_release[i] = true;
    } else {
      m_state[i] = 0;
    }
  }
  // After a snapshot: releases that waited for it take effect.
  void Seen() {
    for (size_t i = 0; i < N; ++i) {
      if (m_release[i]) m_state[i] = 0;
      m_unseen[i] = m_release[i] = false;
    }
  }
  void Clear() {
    std::memset(m_state, 0, N);
    m_unseen = {};
    m_release = {};
  }

 private:
  uint8_t m_state[N] = {};
  std::array<bool, N> m_unseen{};
  std::array<bool, N> m_release{};
};

// The devices keep their state from the event stream as events are queued (an
// event watch), the way SDL keeps its own keyboard and mouse state; reading a
// device takes a snapshot of it. Only events of the game window count. A press
// that no snapshot has seen yet outlives its release by one snapshot, so a tap
// shorter than a frame still reads as pressed once and released in the next.
class CO2DInputSDL final : public IO2DInputDevices {
 public:
  CO2DInputSDL(SDL_Window* window, int frameWidth, int frameHeight)
      : m_pWindow(window), m_uWindowID(SDL_GetWindowID(window)), m_iFrameWidth(frameWidth),
        m_iFrameHeight(frameHeight) {
    m_bFocus = (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0;
    if (m_bFocus) {
      int count = 0;
      const Uint8* keys = SDL_GetKeyboardState(&count);
      for (int sc = 0; sc < count && sc < SDL_NUM_SCANCODES; ++sc)
        if (keys[sc] && kScancodeTable[sc]) m_keys.Set(kScancodeTable[sc], true);
    }
    if (SDL_GetMouseFocus() == window) {
      m_bInWindow = true;
      const Uint32 buttons = SDL_GetMouseState(&m_iWindowX, &m_iWindowY);
      for (Uint8 b = 1; b <= 8; ++b) {
        const int index = ButtonIndex(b);
        if (index >= 0 && (buttons & SDL_BUTTON(b))) m_buttons.Set(index, true);
      }
    }
    SDL_AddEventWatch(&CO2DInputSDL::Watch, this);
  }

  ~CO2DInputSDL() override {
    SDL_DelEventWatch(&CO2DInputSDL::Watch, this);
    if (m_iShowCount < 0) SDL_ShowCursor(SDL_ENABLE);
  }

  int32_t SetCooperativeLevel(O2DInputDevice) override {
    return SDL_GetWindowFromID(m_uWindowID) == m_pWindow ? O2D_INPUT_OK : O2D_INPUT_ERR_HANDLE;
  }
  int32_t AcquireKeyboard() override { return m_bFocus ? O2D_INPUT_OK : O2D_INPUT_ERR_NOTFOREGROUND; }
  int32_t AcquireMouse() override { return m_bFocus ? O2D_INPUT_OK : O2D_INPUT_ERR_NOTFOREGROUND; }

  int32_t ReadKeyboard(uint8_t (&keys)[256]) override {
    if (!m_bFocus) return O2D_INPUT_ERR_INPUTLOST;
    std::memcpy(keys, m_keys.State(), sizeof keys);
    m_keys.Seen();
    return O2D_INPUT_OK;
  }

  int32_t ReadMouse(O2DMouseState& state) override {
    if (!m_bFocus) return O2D_INPUT_ERR_INPUTLOST;
    state.lX = m_iMotionX;
    state.lY = m_iMotionY;
    state.lZ = m_iWheel;
    std::memcpy(state.rgbButtons, m_buttons.State(), sizeof state.rgbButtons);
    m_buttons.Seen();
    m_iMotionX = m_iMotionY = m_iWheel = 0;
    return O2D_INPUT_OK;
  }

  O2DCursor GetCursor() override {
    O2DCursor cursor;
    int ww = 0, wh = 0, sdlWidth = 0, sdlHeight = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(m_pWindow, &ww, &wh);
    SDL_GL_GetDrawableSize(m_pWindow, &sdlWidth, &sdlHeight);
    // SDL's window and drawable sizes may both be the asked ones; their ratio (the
    // pixel density) still holds, so the window's real size follows from the real
    // drawable size the last present found.
    O2D_GetPresentedSize(O2D_FromSDLWindow(m_pWindow), dw, dh);
    if (sdlWidth > 0 && sdlHeight > 0) {
      ww = int(int64_t{ww} * dw / sdlWidth);
      wh = int(int64_t{wh} * dh / sdlHeight);
    }
    O2D_WindowPointToFrame(m_iWindowX, m_iWindowY, ww, wh, dw, dh, m_iFrameWidth, m_iFrameHeight, cursor.x,
                           cursor.y);
    cursor.inWindow = m_bInWindow;
    return cursor;
  }

  void ShowCursor(bool show) override {
    const bool wasVisible = m_iShowCount >= 0;
    m_iShowCount += show ? 1 : -1;
    const bool visible = m_iShowCount >= 0;
    if (visible != wasVisible) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  }

 private:
  static int SDLCALL Watch(void* self, SDL_Event* event) {
    static_cast<CO2DInputSDL*>(self)->OnEvent(*event);
    return 0;
  }

  void OnEvent(const SDL_Event& ev) {
    switch (ev.type) {
      case SDL_WINDOWEVENT:
        if (ev.window.windowID != m_uWindowID) break;
        switch (ev.window.event) {
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            m_bFocus = true;
            m_iMotionX = m_iMotionY = m_iWheel = 0;
            break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            // No release arrives for what is held while the focus is away.
            m_bFocus = false;
            m_keys.Clear();
            m_buttons.Clear();
            m_iMotionX = m_iMotionY = m_iWheel = 0;
            break;
          case SDL_WINDOWEVENT_ENTER: m_bInWindow = true; break;
          case SDL_WINDOWEVENT_LEAVE: m_bInWindow = false; break;
          default: break;
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        if (ev.key.windowID != m_uWindowID) break;
        if (ev.key.keysym.scancode >= 0 && ev.key.keysym.scancode < SDL_NUM_SCANCODES) {
          if (const uint8_t key = kScancodeTable[ev.key.keysym.scancode])
            m_keys.Set(key, ev.type == SDL_KEYDOWN);
        }
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        if (ev.button.windowID != m_uWindowID) break;
        const int index = ButtonIndex(ev.button.button);
        if (index >= 0) m_buttons.Set(index, ev.type == SDL_MOUSEBUTTONDOWN);
        m_iWindowX = ev.button.x;
        m_iWindowY = ev.button.y;
        break;
      }
      case SDL_MOUSEMOTION: {
        if (ev.motion.windowID != m_uWindowID) break;
        m_iWindowX = ev.motion.x;
        m_iWindowY = ev.motion.y;
        // A captured mouse reports positions beyond the window's edges too.
        int ww = 0, wh = 0;
        SDL_GetWindowSize(m_pWindow, &ww, &wh);
        m_bInWindow = ev.motion.x >= 0 && ev.motion.y >= 0 && ev.motion.x < ww && ev.motion.y < wh;
        if (m_bFocus) {
          m_iMotionX += ev.motion.xrel;
          m_iMotionY += ev.motion.yrel;
        }
        break;
      }
      case SDL_MOUSEWHEEL:
        if (ev.wheel.windowID != m_uWindowID || !m_bFocus) break;
        m_iWheel += ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -ev.wheel.y : ev.wheel.y;
        break;
      default:
        break;
    }
  }

  SDL_Window* m_pWindow;
  Uint32 m_uWindowID;
  int m_iFrameWidth;
  int m_iFrameHeight;
  bool m_bFocus = false;
  LatchedButtons<256> m_keys;
  LatchedButtons<8> m_buttons;
  int32_t m_iMotionX = 0;
  int32_t m_iMotionY = 0;
  int32_t m_iWheel = 0;
  int m_iWindowX = 0;
  int m_iWindowY = 0;
  bool m_bInWindow = false;
  int m_iShowCount = 0;
};

}  // namespace

uint8_t O2D_ScancodeToKeyCode(SDL_Scancode scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  return kScancodeTable[scancode];
}

std::unique_ptr<IO2DInputDevices> O2D_CreateInputDevices(O2DWindowHandle window, int frameWidth, int frameHeight,
                                                         int32_t* result) {
  if (result) *result = O2D_INPUT_OK;
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
    if (result) *result = O2D_INPUT_ERR_GENERIC;
    return nullptr;
  }
  // The subsystem stays referenced as long as SDL runs; the window holds it too.
  SDL_QuitSubSystem(SDL_INIT_EVENTS);
  if (!window) return nullptr;
  return std::make_unique<CO2DInputSDL>(O2D_ToSDLWindow(window), frameWidth, frameHeight);
}
