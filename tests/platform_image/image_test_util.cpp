#include "image_test_util.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <cstdlib>

namespace {

void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

}  // namespace

std::string BuildBmp(const TestBmp& bmp) {
  std::string header;
  if (bmp.headerSize == 12) {
    Put32(header, 12);
    Put16(header, static_cast<uint32_t>(bmp.width));
    Put16(header, static_cast<uint32_t>(bmp.height));
    Put16(header, 1);
    Put16(header, bmp.bpp);
  } else {
    Put32(header, bmp.headerSize);
    Put32(header, static_cast<uint32_t>(bmp.width));
    Put32(header, static_cast<uint32_t>(bmp.height));
    Put16(header, 1);
    Put16(header, bmp.bpp);
    Put32(header, bmp.compression);
    Put32(header, 0);
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, bmp.colorsUsed);
    Put32(header, 0);
    std::string masks;
    for (uint32_t m : bmp.masks) Put32(masks, m);
    if (bmp.headerSize > 40) masks.resize(bmp.headerSize - 40, '\0');
    header += masks;
  }
  for (uint32_t c : bmp.palette) {
    header += static_cast<char>(c & 0xFF);
    header += static_cast<char>((c >> 8) & 0xFF);
    header += static_cast<char>((c >> 16) & 0xFF);
    if (bmp.headerSize != 12) header += '\0';
  }
  std::string pixels;
  for (const auto& row : bmp.rows) {
    pixels.append(row.begin(), row.end());
    while (pixels.size() % 4) pixels += '\0';
  }
  std::string file = "BM";
  Put32(file, static_cast<uint32_t>(14 + header.size() + pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<uint32_t>(14 + header.size()));
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
