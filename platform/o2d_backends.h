#pragma once
// The back ends the engine runs on, chosen in one place: the OpenGL rendering
// adapter, SDL keyboard and mouse. (The audio back end, CO2DAudio, is one class
// with its own silent and offline devices.)
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "o2d_input.h"
#include "o2d_render_device.h"

// The rendering adapter; null with the reason in `error` when none can be had.
// `windowMade`, if set, is called once the adapter's window exists (see O2DCreateGLAdapter).
IO2DRenderAdapter* O2D_CreateRenderAdapter(std::string* error, const std::function<void()>& windowMade = {});

// Keyboard and mouse of the game window whose frame of frameWidth x frameHeight
// is presented letter-boxed onto it. Null without a window, or with `result` set
// when the event system cannot be started.
std::unique_ptr<IO2DInputDevices> O2D_CreateInputDevices(O2DWindowHandle window, int frameWidth, int frameHeight,
                                                         int32_t* result = nullptr);
