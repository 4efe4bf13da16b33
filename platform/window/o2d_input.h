#pragma once
// Keyboard and mouse devices for the engine's input. Keys keep the classic
// scan-code numbering (DIK_ values) that the game data, the GUI and the scripts
// use, so 0x3C is F2 everywhere. The devices are snapshots: the engine reads
// them once per frame.
#include <cstdint>
#include <memory>

#include "o2d_window_handle.h"

enum O2DKeyCode : uint8_t {
  DIK_ESCAPE = 0x01,
  DIK_1 = 0x02,
  DIK_2 = 0x03,
  DIK_3 = 0x04,
  DIK_4 = 0x05,
  DIK_5 = 0x06,
  DIK_6 = 0x07,
  DIK_7 = 0x08,
  DIK_8 = 0x09,
  DIK_9 = 0x0A,
  DIK_0 = 0x0B,
  DIK_MINUS = 0x0C,
  DIK_EQUALS = 0x0D,
  DIK_BACK = 0x0E,
  DIK_TAB = 0x0F,
  DIK_Q = 0x10,
  DIK_W = 0x11,
  DIK_E = 0x12,
  DIK_R = 0x13,
  DIK_T = 0x14,
  DIK_Y = 0x15,
  DIK_U = 0x16,
  DIK_I = 0x17,
  DIK_O = 0x18,
  DIK_P = 0x19,
  DIK_LBRACKET = 0x1A,
  DIK_RBRACKET = 0x1B,
  DIK_RETURN = 0x1C,
  DIK_LCONTROL = 0x1D,
  DIK_A = 0x1E,
  DIK_S = 0x1F,
  DIK_D = 0x20,
  DIK_F = 0x21,
  DIK_G = 0x22,
  DIK_H = 0x23,
  DIK_J = 0x24,
  DIK_K = 0x25,
  DIK_L = 0x26,
  DIK_SEMICOLON = 0x27,
  DIK_APOSTROPHE = 0x28,
  DIK_GRAVE = 0x29,
  DIK_LSHIFT = 0x2A,
  DIK_BACKSLASH = 0x2B,
  DIK_Z = 0x2C,
  DIK_X = 0x2D,
  DIK_C = 0x2E,
  DIK_V = 0x2F,
  DIK_B = 0x30,
  DIK_N = 0x31,
  DIK_M = 0x32,
  DIK_COMMA = 0x33,
  DIK_PERIOD = 0x34,
  DIK_SLASH = 0x35,
  DIK_RSHIFT = 0x36,
  DIK_MULTIPLY = 0x37,
  DIK_LMENU = 0x38,
  DIK_SPACE = 0x39,
  DIK_CAPITAL = 0x3A,
  DIK_F1 = 0x3B,
  DIK_F2 = 0x3C,
  DIK_F3 = 0x3D,
  DIK_F4 = 0x3E,
  DIK_F5 = 0x3F,
  DIK_F6 = 0x40,
  DIK_F7 = 0x41,
  DIK_F8 = 0x42,
  DIK_F9 = 0x43,
  DIK_F10 = 0x44,
  DIK_NUMLOCK = 0x45,
  DIK_SCROLL = 0x46,
  DIK_NUMPAD7 = 0x47,
  DIK_NUMPAD8 = 0x48,
  DIK_NUMPAD9 = 0x49,
  DIK_SUBTRACT = 0x4A,
  DIK_NUMPAD4 = 0x4B,
  DIK_NUMPAD5 = 0x4C,
  DIK_NUMPAD6 = 0x4D,
  DIK_ADD = 0x4E,
  DIK_NUMPAD1 = 0x4F,
  DIK_NUMPAD2 = 0x50,
  DIK_NUMPAD3 = 0x51,
  DIK_NUMPAD0 = 0x52,
  DIK_DECIMAL = 0x53,
  DIK_OEM_102 = 0x56,
  DIK_F11 = 0x57,
  DIK_F12 = 0x58,
  DIK_F13 = 0x64,
  DIK_F14 = 0x65,
  DIK_F15 = 0x66,
  DIK_NUMPADEQUALS = 0x8D,
  DIK_PREVTRACK = 0x90,
  DIK_STOP = 0x95,
  DIK_NEXTTRACK = 0x99,
  DIK_NUMPADENTER = 0x9C,
  DIK_RCONTROL = 0x9D,
  DIK_MUTE = 0xA0,
  DIK_CALCULATOR = 0xA1,
  DIK_PLAYPAUSE = 0xA2,
  DIK_MEDIASTOP = 0xA4,
  DIK_VOLUMEDOWN = 0xAE,
  DIK_VOLUMEUP = 0xB0,
  DIK_WEBHOME = 0xB2,
  DIK_NUMPADCOMMA = 0xB3,
  DIK_DIVIDE = 0xB5,
  DIK_SYSRQ = 0xB7,
  DIK_RMENU = 0xB8,
  DIK_PAUSE = 0xC5,
  DIK_HOME = 0xC7,
  DIK_UP = 0xC8,
  DIK_PRIOR = 0xC9,
  DIK_LEFT = 0xCB,
  DIK_RIGHT = 0xCD,
  DIK_END = 0xCF,
  DIK_DOWN = 0xD0,
  DIK_NEXT = 0xD1,
  DIK_INSERT = 0xD2,
  DIK_DELETE = 0xD3,
  DIK_LWIN = 0xDB,
  DIK_RWIN = 0xDC,
  DIK_APPS = 0xDD,
  DIK_POWER = 0xDE,
  DIK_SLEEP = 0xDF,
  DIK_WAKE = 0xE3,
  DIK_WEBSEARCH = 0xE5,
  DIK_WEBFAVORITES = 0xE6,
  DIK_WEBREFRESH = 0xE7,
  DIK_WEBSTOP = 0xE8,
  DIK_WEBFORWARD = 0xE9,
  DIK_WEBBACK = 0xEA,
  DIK_MYCOMPUTER = 0xEB,
  DIK_MAIL = 0xEC,
  DIK_MEDIASELECT = 0xED,
};

// Device results, with the values the engine logs as signed decimals.
inline constexpr int32_t O2D_INPUT_OK = 0;
// The window does not have the input focus, so the device cannot be acquired.
inline constexpr int32_t O2D_INPUT_ERR_NOTFOREGROUND = static_cast<int32_t>(0x80070005u);
// The device was acquired but has lost the focus since.
inline constexpr int32_t O2D_INPUT_ERR_INPUTLOST = static_cast<int32_t>(0x8007001Eu);
// The input system could not be started.
inline constexpr int32_t O2D_INPUT_ERR_GENERIC = static_cast<int32_t>(0x80004005u);
// The window the devices belong to is gone.
inline constexpr int32_t O2D_INPUT_ERR_HANDLE = static_cast<int32_t>(0x80070006u);

enum class O2DInputDevice { Keyboard, Mouse };

// One poll of the mouse: the motion since the previous poll, then the buttons
// (index 0 left, 1 right, 2 middle, 3 and 4 the side buttons); 0x80 when down.
struct O2DMouseState {
  int32_t lX = 0;
  int32_t lY = 0;
  int32_t lZ = 0;  // wheel, positive away from the user
  uint8_t rgbButtons[8] = {};
};

// The system cursor in the coordinates of the engine's frame (which may lie
// outside the frame), and whether it is over the window at all.
struct O2DCursor {
  int32_t x = 0;
  int32_t y = 0;
  bool inWindow = false;
};

// Keyboard and mouse of the game window. A device can be acquired only while
// the window has the input focus; reading a device that is not acquired, or
// that lost the focus since it was acquired, fails.
class IO2DInputDevices {
 public:
  virtual ~IO2DInputDevices() = default;
  // The set-up steps of each device, in this order; each gives a device result.
  virtual int32_t CreateDevice(O2DInputDevice device) {
    (void)device;
    return O2D_INPUT_OK;
  }
  virtual bool HasDevice(O2DInputDevice device) const {
    (void)device;
    return true;
  }
  virtual int32_t SetDataFormat(O2DInputDevice device) {
    (void)device;
    return O2D_INPUT_OK;
  }
  // Binds the device to the game window (foreground, not exclusive).
  virtual int32_t SetCooperativeLevel(O2DInputDevice device) {
    (void)device;
    return O2D_INPUT_OK;
  }
  virtual int32_t AcquireKeyboard() = 0;
  virtual int32_t AcquireMouse() = 0;
  // 256 bytes, one per key code, 0x80 when the key is down.
  virtual int32_t ReadKeyboard(uint8_t (&keys)[256]) = 0;
  virtual int32_t ReadMouse(O2DMouseState& state) = 0;
  virtual O2DCursor GetCursor() = 0;
  // A display counter as the system keeps it: the cursor is visible while the
  // count is 0 or more.
  virtual void ShowCursor(bool show) = 0;
};
