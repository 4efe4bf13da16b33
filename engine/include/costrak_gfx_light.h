#pragma once
// Dynamic lights that colour the current quad before it is queued.
#include <cstdint>

// One point light, in screen pixels; z is in the quad's depth units.
struct Light {
  float fInnerRadius = 0.0f;  // full intensity up to this distance
  float fOuterRadius = 0.0f;  // the intensity falls linearly to 0 here
  float afColor[3] = {};      // R, G, B added at full intensity
  float fAlpha = 0.0f;        // added to the alpha accumulator (not used for the final alpha)
  float afPosition[3] = {};   // x, y, z
  bool bEnabled = true;       // a disabled light contributes nothing
};
