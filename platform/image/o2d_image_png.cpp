// PNG reader on libpng. libpng reports errors by longjmp, so every libpng call that
// can fail runs inside a small function whose frame holds only plain data; the C++
// objects (buffers, the clean-up guard) live in the caller, which the jump never leaves.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "o2d_image_decode.h"

namespace {

struct PngState {
  png_structp png = nullptr;
  png_infop info = nullptr;
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t pos = 0;
  char message[200] = {};
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int channels = 0;
  size_t rowBytes = 0;
};

void ReadFn(png_structp png, png_bytep out, size_t count) {
  auto* st = static_cast<PngState*>(png_get_io_ptr(png));
  if (count > st->size - st->pos) png_error(png, "PNG data ends early");
  std::memcpy(out, st->data + st->pos, count);
  st->pos += count;
}

void ErrorFn(png_structp png, png_const_charp message) {
  auto* st = static_cast<PngState*>(png_get_error_ptr(png));
  std::snprintf(st->message, sizeof st->message, "PNG: %s", message ? message : "error");
  png_longjmp(png, 1);
}

// Warnings are left for what is harmless (a bad CRC in a skipped chunk, say);
// "benign" errors are made errors below.
void WarningFn(png_structp, png_const_charp) {}

// Reads the header and sets the transformations to 8-bit RGBA.
bool ReadHeader(PngState* st) {
  if (setjmp(png_jmpbuf(st->png))) return false;
  // A chunk longer than the limit is only a "benign" error, which libpng would turn
  // into a warning and then allocate the chunk anyway: every benign error is fatal.
  png_set_benign_errors(st->png, 0);
  png_set_user_limits(st->png, O2DIMG_MAX_SIDE, O2DIMG_MAX_SIDE);
  png_set_chunk_malloc_max(st->png, 16u * 1024 * 1024);
  // Chunks the pixels do not depend on (text, colour profiles, gamma, ...) are skipped
  // unread, so a flaw in one of them neither costs memory nor refuses the image.
  png_set_keep_unknown_chunks(st->png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  // The image data's CRC already guards the compressed bytes; zlib's own checksum
  // over the inflated ones would cost a second pass over every pixel.
  png_set_option(st->png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
  png_read_info(st->png, st->info);
  int interlace = 0;
  int colorType = 0;
  png_get_IHDR(st->png, st->info, &st->width, &st->height, &st->bitDepth, &colorType, &interlace, nullptr,
               nullptr);
  st->channels = png_get_channels(st->png, st->info);
  // Palette to RGB, grey below 8 bits to 8 bits, tRNS to an alpha channel; then the
  // high byte of 16-bit samples. No gamma transformation is set.
  png_set_expand(st->png);
  png_set_strip_16(st->png);
  png_set_gray_to_rgb(st->png);
  png_set_filler(st->png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(st->png);
  png_read_update_info(st->png, st->info);
  st->rowBytes = png_get_rowbytes(st->png, st->info);
  return true;
}

bool ReadRows(PngState* st, png_bytepp rows) {
  if (setjmp(png_jmpbuf(st->png))) return false;
  png_read_image(st->png, rows);
  png_read_end(st->png, nullptr);
  return true;
}

struct PngGuard {
  PngState& st;
  ~PngGuard() { png_destroy_read_struct(&st.png, &st.info, nullptr); }
};

}  // namespace

bool O2D_DecodePng(const uint8_t* bytes, size_t size, O2DImage& out, std::string& error) {
  PngState st;
  st.data = bytes;
  st.size = size;
  st.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &st, ErrorFn, WarningFn);
  if (!st.png) {
    error = "PNG: cannot create the reader";
    return false;
  }
  PngGuard guard{st};
  st.info = png_create_info_struct(st.png);
  if (!st.info) {
    error = "PNG: cannot create the reader";
    return false;
  }
  png_set_read_fn(st.png, &st, ReadFn);

  if (!ReadHeader(&st)) {
    error = st.message;
    return false;
  }
  if (!O2D_ImageSizeAllowed(st.width, st.height, error)) return false;
  if (st.rowBytes != static_cast<size_t>(st.width) * 4) {
    error = "PNG: unexpected row layout";
    return false;
  }
  // Deflate packs at most about 1032 bytes into one, so a file far too short for
  // its stated size is refused before its pixels are allocated.
  const uint64_t rawRow = (static_cast<uint64_t>(st.width) * st.channels * st.bitDepth + 7) / 8 + 1;
  if (rawRow * st.height > static_cast<uint64_t>(size) * 1100 + 65536) {
    error = "PNG: file too short for its image size";
    return false;
  }

  O2DImage img;
  img.width = st.width;
  img.height = st.height;
  img.rgba.resize(st.rowBytes * st.height);
  std::vector<png_bytep> rows(st.height);
  for (png_uint_32 y = 0; y < st.height; ++y) rows[y] = img.rgba.data() + y * st.rowBytes;
  if (!ReadRows(&st, rows.data())) {
    error = st.message;
    return false;
  }
  out = std::move(img);
  return true;
}
