// JPEG reader on libjpeg. libjpeg's fatal errors leave through error_exit, which must
// not return; it longjmps back into a small function whose frame holds only plain
// data, while the C++ objects live in the caller.
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "o2d_image_decode.h"

namespace {

struct JpegState {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errMgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool cmyk;
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  auto* st = static_cast<JpegState*>(cinfo->client_data);
  (*cinfo->err->format_message)(cinfo, st->message);
  std::longjmp(st->jump, 1);
}

// Compressed data that stops early, at the end of the file or at a marker (an end
// marker placed early, say), would decode as grey: treat it as the error it is. Other
// warnings (stray bytes between markers) leave the picture intact.
void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  cinfo->err->num_warnings++;
  if (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER) ErrorExit(cinfo);
}

// Huffman coding spends at least one bit on every block (its DC difference), so a
// file with fewer bits than blocks cannot hold its image. Arithmetic coding has no
// such floor.
bool ShortForItsSize(const jpeg_decompress_struct& cinfo, size_t size) {
  if (cinfo.arith_code) return false;
  uint64_t blocks = 0;
  for (int c = 0; c < cinfo.num_components; ++c)
    blocks += static_cast<uint64_t>(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
  return static_cast<uint64_t>(size) * 8 < blocks;
}

// A progressive file whose DC scan of a component never came has no picture there.
// Read before jpeg_finish_decompress, which frees the progression status.
bool MissingScans(const jpeg_decompress_struct& cinfo) {
  if (!cinfo.progressive_mode || !cinfo.coef_bits) return false;
  for (int c = 0; c < cinfo.num_components; ++c)
    if (cinfo.coef_bits[c][0] < 0) return true;
  return false;
}

bool ReadHeader(JpegState* st, const uint8_t* bytes, size_t size) {
  if (setjmp(st->jump)) return false;
  jpeg_create_decompress(&st->cinfo);
  jpeg_mem_src(&st->cinfo, bytes, static_cast<unsigned long>(size));
  jpeg_read_header(&st->cinfo, TRUE);
  st->cmyk = st->cinfo.jpeg_color_space == JCS_CMYK || st->cinfo.jpeg_color_space == JCS_YCCK;
  st->cinfo.out_color_space = st->cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  st->cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
  jpeg_calc_output_dimensions(&st->cinfo);
  return true;
}

// Writes 4 bytes per pixel: RGBA, or CMYK for the caller to convert.
bool ReadRows(JpegState* st, uint8_t* pixels) {
  if (setjmp(st->jump)) return false;
  jpeg_start_decompress(&st->cinfo);
  const size_t stride = static_cast<size_t>(st->cinfo.output_width) * 4;
  while (st->cinfo.output_scanline < st->cinfo.output_height) {
    JSAMPROW row = pixels + st->cinfo.output_scanline * stride;
    jpeg_read_scanlines(&st->cinfo, &row, 1);
  }
  if (MissingScans(st->cinfo)) {
    std::snprintf(st->message, sizeof st->message, "compressed data ends early");
    return false;
  }
  jpeg_finish_decompress(&st->cinfo);
  return true;
}

struct JpegGuard {
  JpegState& st;
  ~JpegGuard() { jpeg_destroy_decompress(&st.cinfo); }
};

}  // namespace

bool O2D_DecodeJpeg(const uint8_t* bytes, size_t size, O2DImage& out, std::string& error) {
  JpegState st{};
  st.cinfo.err = jpeg_std_error(&st.errMgr);
  st.cinfo.client_data = &st;
  st.errMgr.error_exit = ErrorExit;
  st.errMgr.emit_message = EmitMessage;
  // Destroying a reader that was never (fully) created is harmless: it finds no memory manager.
  JpegGuard guard{st};

  if (!ReadHeader(&st, bytes, size)) {
    error = std::string("JPEG: ") + st.message;
    return false;
  }
  if (!O2D_ImageSizeAllowed(st.cinfo.image_width, st.cinfo.image_height, error)) return false;
  if (ShortForItsSize(st.cinfo, size)) {
    error = "JPEG: file too short for its image size";
    return false;
  }
  if (st.cinfo.output_width != st.cinfo.image_width || st.cinfo.output_height != st.cinfo.image_height ||
      st.cinfo.output_components != 4) {
    error = "JPEG: unexpected output layout";
    return false;
  }

  O2DImage img;
  img.width = st.cinfo.image_width;
  img.height = st.cinfo.image_height;
  img.rgba.resize(static_cast<size_t>(img.width) * img.height * 4);
  if (!ReadRows(&st, img.rgba.data())) {
    error = std::string("JPEG: ") + st.message;
    return false;
  }
  if (st.cmyk) {
    // Adobe writers store CMYK inverted.
    const bool inverted = st.cinfo.saw_Adobe_marker;
    for (size_t i = 0; i < img.rgba.size(); i += 4) {
      uint8_t* p = &img.rgba[i];
      const unsigned k = inverted ? p[3] : 255u - p[3];
      for (int c = 0; c < 3; ++c) {
        const unsigned v = inverted ? p[c] : 255u - p[c];
        p[c] = static_cast<uint8_t>((v * k + 127) / 255);
      }
      p[3] = 255;
    }
  }
  out = std::move(img);
  return true;
}
