// Sound files (libsndfile) and tracker modules (libxmp), the first byte's low bit
// choosing, through the decoders the audio back end plays them with: opened,
// read for a quarter of a second, restarted and read again looping.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "o2d_audio_source.h"

namespace {
constexpr int kChunk = 1024;
constexpr int kChunks = 11;

void Play(CO2DAudioSource& source, bool loop) {
  static float stereo[2 * kChunk];
  for (int i = 0; i < kChunks; ++i)
    if (source.Read(stereo, kChunk, loop) < kChunk) break;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::vector<uint8_t> bytes(data + 1, data + size);
  int error = 0;
  auto source = data[0] & 1 ? O2DAudioOpenModule(std::move(bytes), 44100, &error)
                            : O2DAudioOpenSoundFile(CO2DAudioBytes::FromMemory(std::move(bytes)), &error);
  if (!source) return 0;
  Play(*source, false);
  if (source->Restart(1, true)) Play(*source, true);
  if (source->Restart(0, true)) Play(*source, true);
  return 0;
}
