#include "image_test_util.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <cstdlib>

namespace {

// Little-endian values of `bytes` bytes each.
void Put(std::string& s, std::initializer_list<uint32_t> values, int bytes = 4) {
  for (uint32_t v : values)
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

std::string BuildBmp(const TestBmp& bmp) {
  const auto w = static_cast<uint32_t>(bmp.width), h = static_cast<uint32_t>(bmp.height);
  std::string header;
  if (bmp.headerSize == 12) {
    Put(header, {12});
    Put(header, {w, h, 1, bmp.bpp}, 2);
  } else {
    Put(header, {bmp.headerSize, w, h});
    Put(header, {1, bmp.bpp}, 2);
    Put(header, {bmp.compression, 0, 2835, 2835, bmp.colorsUsed, 0});
    std::string masks;
    for (uint32_t m : bmp.masks) Put(masks, {m});
    if (bmp.headerSize > 40) masks.resize(bmp.headerSize - 40, '\0');
    header += masks;
  }
  for (uint32_t c : bmp.palette) Put(header, {c}, bmp.headerSize == 12 ? 3 : 4);
  std::string pixels;
  for (const auto& row : bmp.rows) {
    pixels.append(row.begin(), row.end());
    pixels.resize((pixels.size() + 3) / 4 * 4, '\0');
  }
  std::string file = "BM";
  Put(file, {static_cast<uint32_t>(14 + header.size() + pixels.size()), 0, static_cast<uint32_t>(14 + header.size())});
  return file + header + pixels;
}

std::string BmpFromRgba(uint32_t width, uint32_t height, const std::vector<uint8_t>& rgba) {
  TestBmp bmp;
  bmp.width = static_cast<int32_t>(width);
  bmp.height = static_cast<int32_t>(height);
  for (uint32_t y = height; y-- > 0;) {
    std::vector<uint8_t> row;
    for (uint32_t x = 0; x < width; ++x) {
      const uint8_t* p = &rgba[(y * width + x) * 4];
      row.insert(row.end(), {p[2], p[1], p[0]});
    }
    bmp.rows.push_back(row);
  }
  return BuildBmp(bmp);
}

std::string EncodeJpeg(uint32_t width, uint32_t height, int components, const std::vector<uint8_t>& samples,
                       int quality, bool progressive) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&samples[cinfo.next_scanline * width * components]);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}
