#pragma once
// Keyboard and mouse: the devices, this and the previous frame's snapshots,
// the cursor and the text buffer.
// The engine object holds one; only the subsystem's own sources include this.
#include <memory>
#include <string>

#include "o2d_input.h"

struct CInpState {
  std::unique_ptr<IO2DInputDevices> pInputDevices;
  bool bKeyboardAcquired = false;
  uint8_t aKeyState[256] = {};
  uint8_t aKeyStatePrev[256] = {};
  bool bMouseAcquired = false;
  O2DMouseState MouseState;
  O2DMouseState MouseStatePrev;
  int32_t iCursorX = 0;
  int32_t iCursorY = 0;
  int32_t iCursorPrevX = 0;
  int32_t iCursorPrevY = 0;
  bool bCursorInside = false;
  bool bCursorInsidePrev = false;
  std::string strTextBuffer;
  bool bTextBufferOn = false;
  uint32_t uTextBufferSize = 255;
};
