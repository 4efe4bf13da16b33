// Sound files through libsndfile, read over a byte range by virtual I/O.
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "o2d_audio.h"
#include "o2d_audio_source.h"

namespace {

constexpr int kChunkFrames = 1024;
// A decoded sample is held in memory as stereo floats; past this it is refused
// (about 25 minutes at 44100 Hz, 512 MB).
constexpr size_t kMaxSampleFrames = size_t(64) << 20;

struct SRangeIO {
  const CO2DAudioBytes* bytes;
  sf_count_t pos;
};

sf_count_t VioLength(void* user) { return static_cast<SRangeIO*>(user)->bytes->Size(); }

sf_count_t VioSeek(sf_count_t offset, int whence, void* user) {
  auto* io = static_cast<SRangeIO*>(user);
  sf_count_t base = whence == SEEK_CUR ? io->pos : whence == SEEK_END ? io->bytes->Size() : 0;
  sf_count_t pos = base + offset;
  if (pos < 0) return -1;
  io->pos = pos;
  return pos;
}

sf_count_t VioRead(void* ptr, sf_count_t count, void* user) {
  auto* io = static_cast<SRangeIO*>(user);
  sf_count_t n = io->bytes->ReadAt(io->pos, ptr, count);
  io->pos += n;
  return n;
}

sf_count_t VioWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t VioTell(void* user) { return static_cast<SRangeIO*>(user)->pos; }

SF_VIRTUAL_IO g_rangeVio = {VioLength, VioSeek, VioRead, VioWrite, VioTell};

class CO2DSoundFileSource : public CO2DAudioSource {
 public:
  explicit CO2DSoundFileSource(std::unique_ptr<CO2DAudioBytes> bytes) : m_bytes(std::move(bytes)) {
    m_io.bytes = m_bytes.get();
    m_io.pos = 0;
  }
  ~CO2DSoundFileSource() override {
    if (m_file) sf_close(m_file);
  }

  bool Open() {
    m_file = sf_open_virtual(&g_rangeVio, SFM_READ, &m_info, &m_io);
    if (!m_file) return false;
    if (m_info.channels < 1 || m_info.samplerate < 100 || m_info.samplerate > 200000) return false;
    m_tmp.resize(static_cast<size_t>(kChunkFrames) * static_cast<size_t>(m_info.channels));
    return true;
  }

  int Read(float* stereo, int frames, bool loop) override {
    int got = 0;
    bool rewound = false;
    const int ch = m_info.channels;
    while (got < frames) {
      const int want = std::min(frames - got, kChunkFrames);
      sf_count_t n = m_atEnd ? 0 : sf_readf_float(m_file, m_tmp.data(), want);
      if (n <= 0) {
        m_atEnd = true;
        // A sound that gives nothing right after the rewind would spin here.
        if (!loop || rewound || !Restart(0, false)) break;
        rewound = true;
        continue;
      }
      rewound = false;
      float* out = stereo + 2 * got;
      if (ch == 1) {
        for (sf_count_t i = 0; i < n; ++i) out[2 * i] = out[2 * i + 1] = m_tmp[i];
      } else {
        for (sf_count_t i = 0; i < n; ++i) {
          out[2 * i] = m_tmp[i * ch];
          out[2 * i + 1] = m_tmp[i * ch + 1];
        }
      }
      got += static_cast<int>(n);
    }
    return got;
  }

  bool Restart(uint64_t position, bool) override {
    if (sf_seek(m_file, static_cast<sf_count_t>(position), SEEK_SET) < 0) return false;
    m_atEnd = false;
    return true;
  }

  uint32_t Rate() const override { return static_cast<uint32_t>(m_info.samplerate); }

 private:
  std::unique_ptr<CO2DAudioBytes> m_bytes;
  SRangeIO m_io;
  SF_INFO m_info{};
  SNDFILE* m_file = nullptr;
  std::vector<float> m_tmp;
  bool m_atEnd = false;
};

}  // namespace

std::unique_ptr<CO2DAudioSource> O2DAudioOpenSoundFile(std::unique_ptr<CO2DAudioBytes> bytes, int* error) {
  auto source = std::make_unique<CO2DSoundFileSource>(std::move(bytes));
  if (!source->Open()) {
    *error = O2DAUDIO_ERROR_FILEFORM;
    return nullptr;
  }
  return source;
}

bool O2DAudioDecodeAll(CO2DAudioSource& source, std::vector<float>* out, int* error) {
  out->clear();
  float chunk[2 * kChunkFrames];
  try {
    for (;;) {
      int n = source.Read(chunk, kChunkFrames, false);
      if (n <= 0) break;
      if (out->size() / 2 + static_cast<size_t>(n) > kMaxSampleFrames) {
        *error = O2DAUDIO_ERROR_MEM;
        return false;
      }
      out->insert(out->end(), chunk, chunk + 2 * n);
    }
    out->shrink_to_fit();
  } catch (const std::bad_alloc&) {
    *error = O2DAUDIO_ERROR_MEM;
    return false;
  }
  return true;
}
