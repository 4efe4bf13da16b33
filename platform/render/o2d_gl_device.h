#pragma once
// The OpenGL 3.3 core rendering device, over an SDL window and its GL context.
//
// The engine draws into an offscreen frame of the back-buffer size (the working
// size, 800 x 600 for the game); Present() scales that frame, letter-boxed and
// through the gamma ramp, onto the window. Full screen is a desktop-sized
// borderless full-screen window; with OSTRAK2D_WINDOWED=1 in the environment the
// same frame is shown in an ordinary window instead. Presents wait for the
// display (swap interval 1, or the rest of the refresh period slept when the
// driver returns early; 60 Hz when the rate is unknown), so the frame loop needs
// no pacing of its own; OSTRAK2D_UNPACED=1 lets them return at once (benchmarks).
//
// Use:
//   IO2DRenderAdapter* adapter = O2DCreateGLAdapter(&why);  // before the window
//   SDL_Window* w = SDL_CreateWindow(..., SDL_WINDOW_OPENGL | ...);
//   O2DPresentParams pp;  pp.Window = w;  pp.Windowed = ...;
//   IO2DRenderDevice* device = adapter->CreateDevice(pp);   // makes its context current
//   ...
//   device->Release();  SDL_DestroyWindow(w);  adapter->Release();
//
// The window must outlive the device and its textures.
// The adapter initialises SDL's video subsystem (released with the adapter) and
// sets SDL's OpenGL attributes, so create it before the window; the window must
// carry SDL_WINDOW_OPENGL. The device switches the window to full screen or back
// as the present parameters say.
//
// What the device offers: display modes 640x480, 800x600, 1024x768, 1280x720 and
// 1280x1024 in R5G6B5 and X8R8G8B8 (any frame size renders offscreen), the
// desktop mode as the current one; textures in R5G6B5, X1R5G5B5, A1R5G5B5,
// A4R4G4B4, X4R4G4B4, A8R8G8B8 and X8R8G8B8; two blend stages. The back buffer
// has destination alpha only in A8R8G8B8.
#include <cstdint>
#include <functional>
#include <string>

#include "o2d_render_device.h"

// Null on failure (no video, no OpenGL 3.3 core context); `error` says why.
// `windowMade`, if set, is called once the window (kept to become the game
// window) exists and with it the loaded driver, before the context is made.
IO2DRenderAdapter* O2DCreateGLAdapter(std::string* error = nullptr, const std::function<void()>& windowMade = {});



// Vendor and device ID of the renderer behind the current OpenGL context, from
// the renderer query extension where it exists; false (and zeros) otherwise.
bool O2DQueryRendererIds(uint32_t& vendorId, uint32_t& deviceId);
