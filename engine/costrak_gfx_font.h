#pragma once
// Bitmap fonts: a texture of 16 x 16 character cells, a technique, colours and advances.
#include <cstdint>

// One font description. The fields are filled by the font loader.
struct FontDesc {};
