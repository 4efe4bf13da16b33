#pragma once
// The file-format readers behind O2D_DecodeImage. Each fills `out` (RGBA8, top row
// first) or returns false with a reason; none reads outside [bytes, bytes + size).
#include <cstddef>
#include <cstdint>
#include <string>

#include "o2d_image_loader.h"

bool O2D_DecodePng(const uint8_t* bytes, size_t size, O2DImage& out, std::string& error);
bool O2D_DecodeJpeg(const uint8_t* bytes, size_t size, O2DImage& out, std::string& error);
bool O2D_DecodeBmp(const uint8_t* bytes, size_t size, O2DImage& out, std::string& error);

// True when an image of this size may be decoded (both sides 1..O2DIMG_MAX_SIDE,
// at most O2DIMG_MAX_PIXELS); otherwise sets `error`.
bool O2D_ImageSizeAllowed(uint64_t width, uint64_t height, std::string& error);
