#include "o2d_letterbox.h"

namespace {
// Rounds towards minus infinity, so that a point just left of the frame maps to -1.
int64_t FloorDiv(int64_t a, int64_t b) {
  int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}
}  // namespace

O2DLetterbox O2D_ComputeLetterbox(int drawableWidth, int drawableHeight, int frameWidth, int frameHeight) {
  O2DLetterbox box;
  if (drawableWidth <= 0 || drawableHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return box;
  const int64_t dw = drawableWidth, dh = drawableHeight, fw = frameWidth, fh = frameHeight;
  if (dw * fh >= dh * fw) {
    // Wider than the frame: full height, bars left and right.
    box.height = drawableHeight;
    box.width = static_cast<int>((dh * fw + fh / 2) / fh);
  } else {
    box.width = drawableWidth;
    box.height = static_cast<int>((dw * fh + fw / 2) / fw);
  }
  box.x = (drawableWidth - box.width) / 2;
  box.y = (drawableHeight - box.height) / 2;
  return box;
}

void O2D_WindowPointToFrame(int windowX, int windowY, int windowWidth, int windowHeight, int drawableWidth,
                            int drawableHeight, int frameWidth, int frameHeight, int32_t& frameX,
                            int32_t& frameY) {
  if (windowWidth <= 0 || windowHeight <= 0) windowWidth = drawableWidth, windowHeight = drawableHeight;
  const O2DLetterbox box = O2D_ComputeLetterbox(drawableWidth, drawableHeight, frameWidth, frameHeight);
  if (box.width <= 0 || box.height <= 0 || windowWidth <= 0 || windowHeight <= 0) {
    frameX = windowX;
    frameY = windowY;
    return;
  }
  // frame = (window * drawable / windowSize - offset) * frame / box, kept exact in integers.
  frameX = static_cast<int32_t>(FloorDiv((int64_t{windowX} * drawableWidth - int64_t{box.x} * windowWidth) * frameWidth,
                                         int64_t{windowWidth} * box.width));
  frameY = static_cast<int32_t>(FloorDiv((int64_t{windowY} * drawableHeight - int64_t{box.y} * windowHeight) * frameHeight,
                                         int64_t{windowHeight} * box.height));
}
