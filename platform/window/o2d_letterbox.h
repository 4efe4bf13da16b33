#pragma once
// The engine draws a frame of a fixed working size; the window shows it scaled
// uniformly to fit its drawable area and centred, with bars on the two other
// sides. Presentation and mouse mapping use the same rectangle.
#include <cstdint>

struct O2DLetterbox {
  int x = 0;  // placement of the frame in drawable pixels
  int y = 0;
  int width = 0;
  int height = 0;
};

O2DLetterbox O2D_ComputeLetterbox(int drawableWidth, int drawableHeight, int frameWidth, int frameHeight);

// Maps a point in window coordinates (which may differ from drawable pixels on
// high-density displays) to frame pixels; points on the bars map outside the frame.
void O2D_WindowPointToFrame(int windowX, int windowY, int windowWidth, int windowHeight, int drawableWidth,
                            int drawableHeight, int frameWidth, int frameHeight, int32_t& frameX,
                            int32_t& frameY);
