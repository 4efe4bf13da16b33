#pragma once
// The three-point blend of the GUI's animations: the quadratic Bezier curve
// through a at t = 0 and e at t = 1, pulled towards m.
#include "o2dgui_datatypes.h"

inline float O2DGUI_Bezier(float a, float m, float e, float t) {
  const float u = 1.0f - t;
  return a * u * u + 2.0f * m * t * u + e * t * t;
}

inline GUIPOINT O2DGUI_Bezier(const GUIPOINT& a, const GUIPOINT& m, const GUIPOINT& e, float t) {
  return {O2DGUI_Bezier(a.x, m.x, e.x, t), O2DGUI_Bezier(a.y, m.y, e.y, t)};
}

// Each colour component on its own.
inline GUIRECT O2DGUI_Bezier(const GUIRECT& a, const GUIRECT& m, const GUIRECT& e, float t) {
  return {O2DGUI_Bezier(a.x, m.x, e.x, t), O2DGUI_Bezier(a.y, m.y, e.y, t), O2DGUI_Bezier(a.width, m.width, e.width, t),
          O2DGUI_Bezier(a.height, m.height, e.height, t)};
}

inline GUIRECT O2DGUI_Modulate(const GUIRECT& a, const GUIRECT& b) {
  return {a.x * b.x, a.y * b.y, a.width * b.width, a.height * b.height};
}
