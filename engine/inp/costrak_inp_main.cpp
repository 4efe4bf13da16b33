#include <algorithm>
#include <iterator>
#include <string>

#include "costrak.h"
#include "costrak_inp_state.h"
#include "o2d_backends.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_INP_MAIN;

namespace {
// Logs a refused acquisition; the device stays unacquired and the next update tries again.
bool AcquireLogged(int32_t result, const char* failure) {
  if (result == O2D_INPUT_OK) return true;
  COstrak::LOG_AddEntry(failure, 5);
  COstrak::LOG_AddEntry(std::to_string(result), 5);
  return false;
}
}  // namespace

void COstrak::InitInputSubsystem() { InitInputSubsystem(nullptr); }

void COstrak::InitInputSubsystem(std::unique_ptr<IO2DInputDevices> devices) {
  EHS_CP();
  m_bInpReady = 1;
  LOG_AddSeparator(1);
  LOG_AddEntry("Initializing Input Subsystem...", 3);
  // The devices belong to the game window, which graphics creates.
  if (!GfxHasWindow())
    EHS_RAISE(EHS_GAME, 0, "Input system should be initialized after graphics system!");
  if (!devices) {
    int32_t width = 0, height = 0, result = O2D_INPUT_OK;
    GetScreenSize(width, height);
    devices = O2D_CreateInputDevices(m_window.GetHandle(), width, height, &result);
    if (result != O2D_INPUT_OK) EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), "Cannot create DirectInput object!");
  }
  if (!devices) EHS_RAISE(EHS_GENERAL, 0, "Error: Direct Input object is NULL!");
  m_inp->pInputDevices = std::move(devices);

  auto check = [](int32_t result, const char* message) {
    if (result != O2D_INPUT_OK) EHS_RAISE(EHS_GENERAL, static_cast<uint32_t>(result), message);
  };
  const O2DInputDevice keyboard = O2DInputDevice::Keyboard, mouse = O2DInputDevice::Mouse;
  check(m_inp->pInputDevices->CreateDevice(keyboard), "Cannot create DirectInputDevice (Keyboard) object!");
  if (!m_inp->pInputDevices->HasDevice(keyboard)) EHS_RAISE(EHS_GENERAL, 0, "Error: keyboard object is NULL!");
  check(m_inp->pInputDevices->SetDataFormat(keyboard), "Cannot set data format for Keyboard!");
  check(m_inp->pInputDevices->SetCooperativeLevel(keyboard), "Cannot set cooperative level for Keyboard!");
  m_inp->bKeyboardAcquired = AcquireLogged(m_inp->pInputDevices->AcquireKeyboard(), "Cannot acquire keyboard!");

  check(m_inp->pInputDevices->CreateDevice(mouse), "Cannot create DirectInputDevice (Mouse) object!");
  if (!m_inp->pInputDevices->HasDevice(mouse)) EHS_RAISE(EHS_GENERAL, 0, "Error: mouse object is NULL!");
  check(m_inp->pInputDevices->SetDataFormat(mouse), "Cannot set data format for Mouse!");
  check(m_inp->pInputDevices->SetCooperativeLevel(mouse), "Cannot set cooperative level for Mouse!");
  m_inp->bMouseAcquired = AcquireLogged(m_inp->pInputDevices->AcquireMouse(), "Cannot acquire mouse!");
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

void COstrak::DeinitInputSubsystem() {
  EHS_CP();
  LOG_AddSeparator(1);
  LOG_AddEntry("Deinitializing Input Subsystem...", 3);
  if (m_inp->pInputDevices) {
    m_inp->bMouseAcquired = false;
    m_inp->pInputDevices->ShowCursor(true);
    m_inp->bKeyboardAcquired = false;
    m_inp->pInputDevices.reset();
  }
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
  m_bInpReady = 0;
}

void COstrak::InputUpdate() {
  EHS_CP();
  if (!m_inp->pInputDevices) return;
  KeyboardUpdate();
  MouseUpdate();
}

void COstrak::InputReacquire() {
  EHS_CP();
  if (!m_inp->pInputDevices) return;
  m_inp->bKeyboardAcquired = AcquireLogged(m_inp->pInputDevices->AcquireKeyboard(), "Cannot acquire keyboard!");
  m_inp->bMouseAcquired = AcquireLogged(m_inp->pInputDevices->AcquireMouse(), "Cannot acquire mouse!");
}

void COstrak::InputOnEvent(const O2DWindowEvent& event) {
  EHS_CP();
  if (!m_inp->pInputDevices || event.kind != O2DWindowEvent::FocusLost) return;
  if (event.window && event.window == m_window.GetHandle()) InputLoseAcquisition();
}

// The window lost the focus: both devices lose acquisition, and from now on
// until they are acquired again their states read as released and the cursor
// as outside (no frame runs meanwhile that would find this out by itself).
void COstrak::InputLoseAcquisition() {
  EHS_CP();
  m_inp->bKeyboardAcquired = false;
  std::fill(std::begin(m_inp->aKeyState), std::end(m_inp->aKeyState), uint8_t{0});
  std::fill(std::begin(m_inp->aKeyStatePrev), std::end(m_inp->aKeyStatePrev), uint8_t{0});
  m_inp->bMouseAcquired = false;
  m_inp->MouseState = O2DMouseState{};
  m_inp->MouseStatePrev = O2DMouseState{};
  SetCursorInside(false);
}

const std::string& COstrak::KeyboardGetTextInBuffer() const { return m_inp->strTextBuffer; }
int32_t COstrak::MouseGetDeltaX() const { return m_inp->MouseState.lX; }
int32_t COstrak::MouseGetDeltaY() const { return m_inp->MouseState.lY; }
bool COstrak::MouseGetCursorStatus() const { return m_inp->bCursorInside; }
int32_t COstrak::MouseGetCursorShiftX() const { return m_inp->iCursorX - m_inp->iCursorPrevX; }
int32_t COstrak::MouseGetCursorShiftY() const { return m_inp->iCursorY - m_inp->iCursorPrevY; }
