#pragma once
// Bitmap fonts: a texture of 16 x 16 character cells, a technique, colours and advances.
#include <cstdint>

inline constexpr int32_t O2D_FONT_COLORS = 10;

// One font description. Byte c is drawn from the cell in column c % 16, row c / 16.
struct FontDesc {
  int32_t iTexture = -1;                    // texture ID
  int32_t iTechnique = -1;                  // technique ID
  float afColors[O2D_FONT_COLORS][4] = {};  // R, G, B, A; undeclared entries are opaque black
  float fCellSize = 0.0f;                   // width and height of one character quad, in pixels
  float afWidths[256] = {};                 // advance of each byte value, in pixels
};
