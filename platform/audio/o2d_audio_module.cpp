// Tracker modules rendered by libxmp.
#include <xmp.h>

#include <algorithm>

#include "o2d_audio.h"
#include "o2d_audio_source.h"

namespace {

// A player that keeps rendering nothing is treated as ended.
constexpr int kMaxEmptyFrames = 64;

class CO2DModuleSource : public CO2DAudioSource {
 public:
  CO2DModuleSource(std::vector<uint8_t> bytes, uint32_t rate)
      : m_bytes(std::move(bytes)), m_rate(std::clamp<uint32_t>(rate, 8000, 48000)) {}
  ~CO2DModuleSource() override {
    if (!m_ctx) return;
    if (m_playing) xmp_end_player(m_ctx);
    if (m_loaded) xmp_release_module(m_ctx);
    xmp_free_context(m_ctx);
  }

  int Open() {
    m_ctx = xmp_create_context();
    if (!m_ctx) return O2DAUDIO_ERROR_MEM;
    if (m_bytes.empty() ||
        xmp_load_module_from_memory(m_ctx, m_bytes.data(), static_cast<long>(m_bytes.size())) != 0)
      return O2DAUDIO_ERROR_FILEFORM;
    m_loaded = true;
    return StartPlayer() ? O2DAUDIO_OK : O2DAUDIO_ERROR_FILEFORM;
  }

  int Read(float* stereo, int frames, bool loop) override {
    int got = 0;
    int empty = 0;
    while (got < frames && !m_ended) {
      if (m_used == m_have) {
        if (!NextFrame(loop)) break;
        if (m_have == 0 && ++empty > kMaxEmptyFrames) {
          m_ended = true;
          break;
        }
        continue;
      }
      empty = 0;
      const int n = std::min(frames - got, m_have - m_used);
      const int16_t* in = m_frame + 2 * m_used;
      float* out = stereo + 2 * got;
      for (int i = 0; i < 2 * n; ++i) out[i] = in[i] * (1.0f / 32768.0f);
      m_used += n;
      got += n;
    }
    return got;
  }

  bool Restart(uint64_t position, bool reset) override {
    if (reset || !m_playing) {
      if (m_playing) xmp_end_player(m_ctx);
      m_playing = false;
      if (!StartPlayer()) return false;
    }
    m_have = m_used = 0;
    m_ended = false;
    if (position != 0) {
      struct xmp_module_info mi;
      xmp_get_module_info(m_ctx, &mi);
      if (position >= static_cast<uint64_t>(mi.mod->len)) return false;
      if (xmp_set_position(m_ctx, static_cast<int>(position)) < 0) return false;
    }
    return true;
  }

  uint32_t Rate() const override { return m_rate; }

 private:
  bool StartPlayer() {
    if (xmp_start_player(m_ctx, static_cast<int>(m_rate), 0) != 0) return false;
    m_playing = true;
    m_loops = 0;
    m_have = m_used = 0;
    m_ended = false;
    return true;
  }

  // Renders the next player frame; false when the piece has ended.
  bool NextFrame(bool loop) {
    struct xmp_frame_info fi;
    if (xmp_play_frame(m_ctx) != 0) {
      // The player stopped by itself; a looping piece starts over once.
      if (!loop || !Restart(0, true) || xmp_play_frame(m_ctx) != 0) {
        m_ended = true;
        return false;
      }
    }
    xmp_get_frame_info(m_ctx, &fi);
    if (fi.loop_count > m_loops) {
      m_loops = fi.loop_count;
      // This frame already belongs to the next pass through the piece.
      if (!loop) {
        m_ended = true;
        return false;
      }
    }
    m_frame = static_cast<const int16_t*>(fi.buffer);
    m_have = fi.buffer ? std::max(0, fi.buffer_size / 4) : 0;
    m_used = 0;
    return true;
  }

  std::vector<uint8_t> m_bytes;
  uint32_t m_rate;
  xmp_context m_ctx = nullptr;
  bool m_loaded = false;
  bool m_playing = false;
  bool m_ended = false;
  int m_loops = 0;
  const int16_t* m_frame = nullptr;
  int m_have = 0;
  int m_used = 0;
};

}  // namespace

std::unique_ptr<CO2DAudioSource> O2DAudioOpenModule(std::vector<uint8_t> bytes, uint32_t rate, int* error) {
  auto source = std::make_unique<CO2DModuleSource>(std::move(bytes), rate);
  int code = source->Open();
  if (code != O2DAUDIO_OK) {
    *error = code;
    return nullptr;
  }
  return source;
}
