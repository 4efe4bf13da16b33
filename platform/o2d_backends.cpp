#include "o2d_backends.h"

#include "o2d_gl_device.h"

IO2DRenderAdapter* O2D_CreateRenderAdapter(std::string* error, const std::function<void()>& windowMade) {
  return O2DCreateGLAdapter(error, windowMade);
}
