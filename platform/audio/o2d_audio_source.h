#pragma once
// Decoders that feed the mixer. Every source delivers interleaved stereo float
// frames (-1..1) at its own rate; mono is doubled, channels past two are dropped.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CO2DAudioSource {
 public:
  virtual ~CO2DAudioSource() = default;
  // Fills up to `frames` frames; fewer means the end was reached. With `loop`
  // the source starts over at its end instead.
  virtual int Read(float* stereo, int frames, bool loop) = 0;
  // Goes to `position` (a frame, or a module order); reset also clears a
  // module player's state. False when the position does not exist.
  virtual bool Restart(uint64_t position, bool reset) = 0;
  virtual uint32_t Rate() const = 0;
};

// A byte range of a file (read as needed) or a block of memory.
class CO2DAudioBytes {
 public:
  ~CO2DAudioBytes();
  // [offset, offset + length) of the file, length 0 = to its end. Null and
  // *error set when the file cannot be opened or ends before the range does.
  static std::unique_ptr<CO2DAudioBytes> OpenFile(const std::string& path, uint64_t offset,
                                                  uint64_t length, int* error);
  static std::unique_ptr<CO2DAudioBytes> FromMemory(std::vector<uint8_t> bytes);

  int64_t Size() const { return m_size; }
  // Bytes read at `pos` (fewer at the end, or if the file shrank meanwhile).
  int64_t ReadAt(int64_t pos, void* dst, int64_t count) const;
  // The whole range into memory; false (and *error) when it cannot be read.
  bool ReadAll(std::vector<uint8_t>* out, int* error) const;
  const std::vector<uint8_t>& Memory() const { return m_mem; }

 private:
  CO2DAudioBytes() = default;
  int m_fd = -1;
  uint64_t m_base = 0;
  int64_t m_size = 0;
  std::vector<uint8_t> m_mem;
};

// Anything libsndfile reads (WAV, OGG, FLAC, ...). Null and *error set for data
// that is not such a sound.
std::unique_ptr<CO2DAudioSource> O2DAudioOpenSoundFile(std::unique_ptr<CO2DAudioBytes> bytes, int* error);
// A tracker module rendered by libxmp at `rate` (clamped to 8000..48000).
std::unique_ptr<CO2DAudioSource> O2DAudioOpenModule(std::vector<uint8_t> bytes, uint32_t rate, int* error);
// Reads a source to its end into `out` (stereo frames); false (and *error)
// when the sound is too long to hold.
bool O2DAudioDecodeAll(CO2DAudioSource& source, std::vector<float>* out, int* error);
