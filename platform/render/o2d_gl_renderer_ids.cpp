// Kept apart from the device: the GLX header brings the X11 macros with it.
#include <SDL.h>
#include <epoxy/glx.h>

#include <cstring>

#include "o2d_gl_device.h"

bool O2DQueryRendererIds(uint32_t& vendorId, uint32_t& deviceId) {
  vendorId = 0;
  deviceId = 0;
  // Only a GLX context answers; an EGL one (Wayland, offscreen) has no such query,
  // and asking GLX where SDL did not load it would make the loader look for it.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr || std::strcmp(driver, "x11") != 0) return false;
  Display* display = glXGetCurrentDisplay();
  if (display == nullptr || glXGetCurrentContext() == nullptr) return false;
  if (!epoxy_has_glx_extension(display, DefaultScreen(display), "GLX_MESA_query_renderer")) return false;
  unsigned int vendor = 0, device = 0;
  if (!glXQueryCurrentRendererIntegerMESA(GLX_RENDERER_VENDOR_ID_MESA, &vendor) ||
      !glXQueryCurrentRendererIntegerMESA(GLX_RENDERER_DEVICE_ID_MESA, &device))
    return false;
  vendorId = vendor;
  deviceId = device;
  return true;
}
