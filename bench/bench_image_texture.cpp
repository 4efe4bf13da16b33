// Texture loading cost: a 1024 x 1024 RGBA PNG (a smooth picture with noise, so
// it compresses like a real one) decoded, and turned into a full A8R8G8B8 mip
// chain and a 512 x 512 A4R4G4B4 texture.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstdint>
#include <vector>

#include "o2d_image_loader.h"

namespace {

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}
void Flush(png_structp) {}

const std::vector<uint8_t>& TestPng() {
  static const std::vector<uint8_t> bytes = [] {
    constexpr uint32_t side = 1024;
    std::vector<uint8_t> rgba(side * side * 4);
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < side; ++y)
      for (uint32_t x = 0; x < side; ++x) {
        noise = noise * 1103515245u + 12345u;
        uint8_t* p = &rgba[(y * side + x) * 4];
        p[0] = uint8_t(x / 4 + (noise >> 28));
        p[1] = uint8_t(y / 4 + (noise >> 29));
        p[2] = uint8_t((x + y) / 8);
        p[3] = uint8_t(255 - (noise >> 30));
      }
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, &WriteToVector, &Flush);
    png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < side; ++y) png_write_row(png, &rgba[y * side * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
  }();
  return bytes;
}

void BM_DecodePng(benchmark::State& state) {
  const auto& png = TestPng();
  for (auto _ : state) {
    O2DImage image;
    if (!O2D_DecodeImage(png.data(), png.size(), image)) state.SkipWithError("decode failed");
    benchmark::DoNotOptimize(image.rgba.data());
  }
}
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);

void BM_PngToTexture(benchmark::State& state, uint32_t size, uint32_t levels, uint32_t format) {
  const auto& png = TestPng();
  for (auto _ : state) {
    O2DImageTexture texture;
    if (!O2D_LoadImageTexture(png.data(), png.size(), size, size, levels, format, texture))
      state.SkipWithError("load failed");
    benchmark::DoNotOptimize(texture.pixels.data());
  }
}
BENCHMARK_CAPTURE(BM_PngToTexture, full_chain_8888, 0, 0, D3DFMT_A8R8G8B8)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngToTexture, scaled_512_4444, 512, 1, D3DFMT_A4R4G4B4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
