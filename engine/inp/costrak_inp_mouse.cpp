#include "costrak.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_INP_MOUSE;

namespace {
constexpr bool IsDown(uint8_t state) { return (state & 0x80) != 0; }
constexpr int32_t kButtonCount = 8;
}  // namespace

// Buttons outside 1..8 are never down (there is no such button to read).
bool COstrak::MouseIsKeyPressed(int32_t button) const {
  EHS_CP();
  if (button < 1 || button > kButtonCount) return false;
  return IsDown(m_MouseState.rgbButtons[button - 1]);
}

bool COstrak::MouseIsKeyClicked(int32_t button) const {
  EHS_CP();
  if (button < 1 || button > kButtonCount) return false;
  return IsDown(m_MouseState.rgbButtons[button - 1]) && !IsDown(m_MouseStatePrev.rgbButtons[button - 1]);
}

int32_t COstrak::MouseGetAnyPressedKey() const {
  EHS_CP();
  for (int32_t i = 0; i < kButtonCount; ++i)
    if (IsDown(m_MouseState.rgbButtons[i])) return i + 1;
  return 0;
}

int32_t COstrak::MouseGetWheelDelta() const {
  EHS_CP();
  return (m_MouseState.lZ > 0) - (m_MouseState.lZ < 0);
}

void COstrak::MouseGetCursorPos(int32_t& x, int32_t& y) const {
  EHS_CP();
  x = m_iCursorX;
  y = m_iCursorY;
}

// The system cursor is hidden while it is over the frame of the active window
// (the game draws its own pointer); it changes only when the cursor crosses.
void COstrak::SetCursorInside(bool inside) {
  EHS_CP();
  m_bCursorInsidePrev = m_bCursorInside;
  m_bCursorInside = inside;
  if (!m_pInputDevices) return;
  if (inside && !m_bCursorInsidePrev) m_pInputDevices->ShowCursor(false);
  else if (!inside && m_bCursorInsidePrev) m_pInputDevices->ShowCursor(true);
}

void COstrak::MouseUpdate() {
  EHS_CP();
  if (!m_pInputDevices) return;
  if (!m_bMouseAcquired) {
    if (m_pInputDevices->AcquireMouse() != O2D_INPUT_OK) {
      m_MouseState = O2DMouseState{};
      m_MouseStatePrev = O2DMouseState{};
      return;
    }
    m_bMouseAcquired = true;
  }
  m_MouseStatePrev = m_MouseState;
  int32_t result = m_pInputDevices->ReadMouse(m_MouseState);
  if (result == O2D_INPUT_ERR_INPUTLOST) {
    // One more try, no more.
    result = m_pInputDevices->AcquireMouse();
    if (result != O2D_INPUT_OK) EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Cannot reacquire Mouse!");
    result = m_pInputDevices->ReadMouse(m_MouseState);
    if (result != O2D_INPUT_OK)
      EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Second try of getting Mouse state failed!");
  } else if (result != O2D_INPUT_OK) {
    EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Cannot get Mouse state!");
  }

  m_iCursorPrevX = m_iCursorX;
  m_iCursorPrevY = m_iCursorY;
  const O2DCursor cursor = m_pInputDevices->GetCursor();
  m_iCursorX = cursor.x;
  m_iCursorY = cursor.y;
  int32_t width = 0, height = 0;
  GetScreenSize(width, height);
  const bool inFrame = m_iCursorX >= 0 && m_iCursorY >= 0 && m_iCursorX < width && m_iCursorY < height;
  SetCursorInside(IsAppActive() && cursor.inWindow && inFrame);
}
