// sfxgen: synthesises the game's sound effects as 16-bit mono WAV files.
//   sfxgen OUTDIR
// Tones are sums of decaying sines, noises come from a fixed-seed generator
// through a state-variable filter, so every run writes the same bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Wave = std::vector<double>;

Wave Silence(double seconds) { return Wave(static_cast<size_t>(seconds * kRate), 0.0); }
double Time(size_t i) { return static_cast<double>(i) / kRate; }

// Deterministic white noise in -1..1.
struct Noise {
  uint32_t state = 0x2545F491u;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
  }
};

// Chamberlin state-variable filter; the centre may move per sample.
struct Svf {
  double low = 0, band = 0;
  double Band(double in, double hz, double q) {
    High(in, hz, q);
    return band;
  }
  double High(double in, double hz, double q) {
    const double f = 2.0 * std::sin(kPi * std::min(hz, kRate / 6.0) / kRate);
    low += f * band;
    const double high = in - low - band / q;
    band += f * high;
    return high;
  }
};

// Adds a decaying sine: frequency, amplitude, decay time constant, start.
void AddTone(Wave& w, double hz, double amp, double decay, double start = 0.0, double attack = 0.002) {
  for (size_t i = static_cast<size_t>(start * kRate); i < w.size(); ++i) {
    const double t = Time(i) - start;
    const double env = std::min(1.0, t / attack) * std::exp(-t / decay);
    w[i] += amp * env * std::sin(2.0 * kPi * hz * t);
  }
}

// Scales the wave to the given peak and fades out its last milliseconds.
Wave Finish(Wave w, double peak) {
  double max = 0;
  for (double v : w) max = std::max(max, std::fabs(v));
  const size_t fade = std::min<size_t>(w.size(), kRate / 200);
  for (size_t i = 0; i < w.size(); ++i) {
    w[i] *= max > 0 ? peak / max : 0.0;
    if (i >= w.size() - fade) w[i] *= static_cast<double>(w.size() - i) / fade;
  }
  return w;
}

// A turn of four tiles: a soft wooden knock with a warm two-note body (C5 and
// G5) over a short brush of filtered noise.
Wave PieceMove() {
  Wave w = Silence(0.32);
  Noise n;
  Svf f;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = Time(i);
    const double env = std::sin(kPi * std::min(1.0, t / 0.12)) * (t < 0.12 ? 1.0 : 0.0);
    w[i] += 0.35 * env * f.Band(n.Next(), 900.0 + 2500.0 * t / 0.12, 1.2);
  }
  AddTone(w, 523.25, 0.55, 0.07, 0.10);
  AddTone(w, 1046.5, 0.12, 0.03, 0.10);
  AddTone(w, 783.99, 0.45, 0.09, 0.13);
  AddTone(w, 1567.98, 0.08, 0.03, 0.13);
  Svf knock;
  for (size_t i = static_cast<size_t>(0.10 * kRate); i < static_cast<size_t>(0.115 * kRate); ++i)
    w[i] += 0.5 * std::exp(-(Time(i) - 0.10) / 0.003) * knock.Band(n.Next(), 1800.0, 2.0);
  return Finish(w, 0.6);
}

// A button click: a short bright tick with a little body.
Wave Click() {
  Wave w = Silence(0.08);
  Noise n;
  Svf f;
  for (size_t i = 0; i < w.size(); ++i) w[i] += 0.6 * std::exp(-Time(i) / 0.004) * f.Band(n.Next(), 3500.0, 3.0);
  AddTone(w, 1318.5, 0.5, 0.018, 0.0, 0.0005);
  AddTone(w, 659.25, 0.25, 0.025, 0.0, 0.0005);
  return Finish(w, 0.5);
}

// A window appears (rising) or goes away (falling): an airy sweep with a glide.
Wave Whoosh(bool rising) {
  const double len = 0.34;
  Wave w = Silence(len);
  Noise n;
  Svf f;
  double phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = Time(i) / len;
    const double s = rising ? t : 1.0 - t;
    const double env = std::sin(kPi * t) * std::sin(kPi * t);
    w[i] += 0.5 * env * f.Band(n.Next(), 500.0 * std::pow(5.0, s), 2.5);
    phase += 2.0 * kPi * (440.0 * std::pow(2.0, s)) / kRate;
    w[i] += 0.18 * env * std::sin(phase);
  }
  return Finish(w, 0.4);
}

// A key typed into the text box: a tiny mechanical tick.
Wave Type() {
  Wave w = Silence(0.05);
  Noise n;
  Svf f;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = Time(i);
    w[i] += std::exp(-t / 0.0035) * f.High(n.Next(), 2500.0, 1.5);
    if (t > 0.012) w[i] += 0.4 * std::exp(-(t - 0.012) / 0.004) * n.Next();
  }
  AddTone(w, 2200.0, 0.15, 0.006, 0.0, 0.0003);
  return Finish(w, 0.35);
}

bool WriteWav(const std::string& path, const Wave& w) {
  std::string b;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) b += static_cast<char>(v >> (8 * i));
  };
  auto u16 = [&](uint16_t v) { b += static_cast<char>(v & 255), b += static_cast<char>(v >> 8); };
  const uint32_t data = static_cast<uint32_t>(w.size() * 2);
  b += "RIFF";
  u32(36 + data);
  b += "WAVEfmt ";
  u32(16), u16(1), u16(1), u32(kRate), u32(kRate * 2), u16(2), u16(16);
  b += "data";
  u32(data);
  for (double v : w) u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0))));
  std::ofstream out(path, std::ios::binary);
  return static_cast<bool>(out << b);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sfxgen OUTDIR\n");
    return 2;
  }
  const std::pair<const char*, std::function<Wave()>> sounds[] = {
      {"snd_piecemove.wav", PieceMove},
      {"snd_gui_click.wav", Click},
      {"snd_gui_show.wav", [] { return Whoosh(true); }},
      {"snd_gui_hide.wav", [] { return Whoosh(false); }},
      {"snd_gui_type.wav", Type},
  };
  for (const auto& [file, make] : sounds)
    if (!WriteWav(std::string(argv[1]) + "/" + file, make())) {
      std::fprintf(stderr, "sfxgen: cannot write %s/%s\n", argv[1], file);
      return 1;
    }
  return 0;
}
