#include "costrak.h"
#include "costrak_inp_state.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_INP_MOUSE;

namespace {
constexpr bool IsDown(uint8_t state) { return (state & 0x80) != 0; }
constexpr int32_t kButtonCount = 8;
}  // namespace

// Buttons outside 1..8 are never down (there is no such button to read).
bool COstrak::MouseIsKeyPressed(int32_t button) const {
  EHS_CP();
  if (button < 1 || button > kButtonCount) return false;
  return IsDown(m_inp->MouseState.rgbButtons[button - 1]);
}

bool COstrak::MouseIsKeyClicked(int32_t button) const {
  EHS_CP();
  if (button < 1 || button > kButtonCount) return false;
  return IsDown(m_inp->MouseState.rgbButtons[button - 1]) && !IsDown(m_inp->MouseStatePrev.rgbButtons[button - 1]);
}

int32_t COstrak::MouseGetAnyPressedKey() const {
  EHS_CP();
  for (int32_t i = 0; i < kButtonCount; ++i)
    if (IsDown(m_inp->MouseState.rgbButtons[i])) return i + 1;
  return 0;
}

int32_t COstrak::MouseGetWheelDelta() const {
  EHS_CP();
  return (m_inp->MouseState.lZ > 0) - (m_inp->MouseState.lZ < 0);
}

void COstrak::MouseGetCursorPos(int32_t& x, int32_t& y) const {
  EHS_CP();
  x = m_inp->iCursorX;
  y = m_inp->iCursorY;
}

// The system cursor is hidden while it is over the frame of the active window
// (the game draws its own pointer); it changes only when the cursor crosses.
void COstrak::SetCursorInside(bool inside) {
  EHS_CP();
  m_inp->bCursorInsidePrev = m_inp->bCursorInside;
  m_inp->bCursorInside = inside;
  if (!m_inp->pInputDevices) return;
  if (inside && !m_inp->bCursorInsidePrev) m_inp->pInputDevices->ShowCursor(false);
  else if (!inside && m_inp->bCursorInsidePrev) m_inp->pInputDevices->ShowCursor(true);
}

void COstrak::MouseUpdate() {
  EHS_CP();
  if (!m_inp->pInputDevices) return;
  if (!m_inp->bMouseAcquired) {
    if (m_inp->pInputDevices->AcquireMouse() != O2D_INPUT_OK) {
      m_inp->MouseState = O2DMouseState{};
      m_inp->MouseStatePrev = O2DMouseState{};
      return;
    }
    m_inp->bMouseAcquired = true;
  }
  m_inp->MouseStatePrev = m_inp->MouseState;
  int32_t result = m_inp->pInputDevices->ReadMouse(m_inp->MouseState);
  if (result == O2D_INPUT_ERR_INPUTLOST) {
    // One more try, no more.
    result = m_inp->pInputDevices->AcquireMouse();
    if (result != O2D_INPUT_OK) EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Cannot reacquire Mouse!");
    result = m_inp->pInputDevices->ReadMouse(m_inp->MouseState);
    if (result != O2D_INPUT_OK)
      EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Second try of getting Mouse state failed!");
  } else if (result != O2D_INPUT_OK) {
    EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Cannot get Mouse state!");
  }

  m_inp->iCursorPrevX = m_inp->iCursorX;
  m_inp->iCursorPrevY = m_inp->iCursorY;
  const O2DCursor cursor = m_inp->pInputDevices->GetCursor();
  m_inp->iCursorX = cursor.x;
  m_inp->iCursorY = cursor.y;
  int32_t width = 0, height = 0;
  GetScreenSize(width, height);
  const bool inFrame = m_inp->iCursorX >= 0 && m_inp->iCursorY >= 0 && m_inp->iCursorX < width && m_inp->iCursorY < height;
  SetCursorInside(IsAppActive() && cursor.inWindow && inFrame);
}
