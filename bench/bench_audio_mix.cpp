// Mixing cost: N sample channels played at frequencies other than their own
// (so every one is resampled) plus one module, 10 s of 44100 Hz stereo per
// iteration, mixed in the 1024-frame chunks the output callback is asked for
// (each one taking the mixer's lock, as the callback does).
// The "x_realtime" counter is seconds of audio mixed per second of time.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "o2d_audio.h"

namespace {

constexpr int kRate = 44100;
constexpr int kSeconds = 10;
constexpr int kChunk = 1024;

std::filesystem::path WorkDir() {
  static const std::filesystem::path dir = [] {
    std::string tmpl = (std::filesystem::temp_directory_path() / "o2dbench.XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    return std::filesystem::path(tmpl);
  }();
  return dir;
}

std::string WriteWav(const std::string& name, int rate, int channels, double hz) {
  const std::string path = (WorkDir() / name).string();
  SF_INFO info{};
  info.samplerate = rate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) std::abort();
  std::vector<short> pcm;
  for (int i = 0; i < rate; ++i)
    for (int c = 0; c < channels; ++c)
      pcm.push_back(static_cast<short>(12000.0 * std::sin(2.0 * M_PI * hz * (c + 1) * i / rate)));
  sf_writef_short(f, pcm.data(), rate);
  sf_close(f);
  return path;
}

// A 4-channel module: a looping instrument on every channel, a note on every
// fourth row, 64 rows.
std::string WriteModule() {
  std::string mod(1084, '\0');
  auto put16 = [&](size_t at, int v) {
    mod[at] = static_cast<char>((v >> 8) & 0xFF);
    mod[at + 1] = static_cast<char>(v & 0xFF);
  };
  const int words = 64;
  put16(20 + 22, words);
  mod[20 + 25] = 64;
  put16(20 + 28, words);
  for (int s = 1; s < 31; ++s) put16(20 + 30 * static_cast<size_t>(s) + 28, 1);
  mod[950] = 1;
  mod[951] = 127;
  mod.replace(1080, 4, "M.K.");
  const int periods[4] = {428, 381, 339, 285};
  std::string pattern(64 * 16, '\0');
  for (int row = 0; row < 64; row += 4) {
    for (int ch = 0; ch < 4; ++ch) {
      const size_t at = (static_cast<size_t>(row) * 4 + ch) * 4;
      const int period = periods[(row / 4 + ch) % 4];
      pattern[at] = static_cast<char>(period >> 8);
      pattern[at + 1] = static_cast<char>(period & 0xFF);
      pattern[at + 2] = static_cast<char>(1 << 4);
    }
  }
  mod += pattern;
  for (int i = 0; i < 2 * words; ++i) mod += static_cast<char>(80.0 * std::sin(2.0 * M_PI * i / (2 * words)));
  const std::string path = (WorkDir() / "tune.mod").string();
  std::ofstream(path, std::ios::binary) << mod;
  return path;
}

void BM_AudioMix(benchmark::State& state) {
  const int channels = static_cast<int>(state.range(0));
  CO2DAudio audio;
  if (!audio.Init(O2DAUDIO_DEVICE_RENDER, kRate) || !audio.Start()) {
    state.SkipWithError("audio init failed");
    return;
  }
  const std::string files[4] = {WriteWav("a.wav", 22050, 1, 440.0), WriteWav("b.wav", 44100, 2, 330.0),
                                WriteWav("c.wav", 11025, 1, 220.0), WriteWav("d.wav", 32000, 2, 550.0)};
  O2DHANDLE samples[4];
  for (int i = 0; i < 4; ++i) {
    samples[i] = audio.SampleLoad(files[i], 0, 0, 64, O2DAUDIO_SAMPLE_OVER_POS);
    if (!samples[i]) {
      state.SkipWithError("sample load failed");
      return;
    }
  }
  for (int c = 0; c < channels; ++c) {
    // 27000..37000 Hz: none of the samples' own rates.
    audio.SamplePlayEx(samples[c % 4], 0, 27000 + (c * 1237) % 10000, 20 + c % 60, (c * 37) % 201 - 100, true);
  }
  O2DHANDLE music = audio.MusicLoad(WriteModule(), 0, 0);
  if (!music || !audio.MusicPlayEx(music, 0, O2DAUDIO_LOOP, true)) {
    state.SkipWithError("music failed");
    return;
  }

  std::vector<int16_t> out(2 * kChunk);
  for (auto _ : state) {
    for (int done = 0; done < kRate * kSeconds; done += kChunk) {
      audio.Mix(out.data(), kChunk);
      benchmark::DoNotOptimize(out.data());
    }
  }
  if (audio.ChannelIsActive(music) != O2DAUDIO_PLAYING) state.SkipWithError("music stopped");
  state.counters["x_realtime"] =
      benchmark::Counter(static_cast<double>(kSeconds) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate);
  state.counters["cpu_percent"] = audio.GetCPU();
}

BENCHMARK(BM_AudioMix)->Arg(0)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(WorkDir(), ec);
  return 0;
}
