#pragma once
// Builders for the small images the image loader tests feed it.
#include <cstdint>
#include <string>
#include <vector>

struct TestBmp {
  int32_t width = 0;
  int32_t height = 0;  // negative: rows stored top-down
  uint16_t bpp = 24;
  uint32_t compression = 0;
  uint32_t headerSize = 40;
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> palette{};  // 0x00RRGGBB
  std::vector<uint32_t> masks{};    // bit fields, written after a 40-byte header or inside a larger one
  // Rows in file order, each without padding; the builder pads them to 4 bytes.
  std::vector<std::vector<uint8_t>> rows{};
};

std::string BuildBmp(const TestBmp& bmp);

// A 24-bit bottom-up bitmap of RGBA pixels (alpha dropped), rows top first.
std::string BmpFromRgba(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba);

// Encodes 8-bit samples (components 1, 3 or 4 = grey, RGB, CMYK) rows top first.
std::string EncodeJpeg(uint32_t width, uint32_t height, int components, const std::vector<uint8_t>& samples,
                       int quality, bool progressive = false);
