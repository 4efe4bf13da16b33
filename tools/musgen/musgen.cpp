// musgen: composes the game's music and writes it as an XM tracker module.
//   musgen OUT.xm
// The instruments are synthesised here (additive tones with a slow chorus,
// swept-sine kick, noise snare and hats); the piece is a 48-second loop in C
// major at 100 beats a minute: lead with an echo, bass, three-voice pad, mallet
// arpeggio and drums. Its last bar sits on G so it flows back into its first.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
// Every sample is played at C-4 with relative note 29, that is at
// 8363 * 2^(29/12) Hz, so the samples are made at that rate.
constexpr int kRelNote = 29;
const double kRate = 8363.0 * std::pow(2.0, kRelNote / 12.0);
constexpr int kRows = 64, kChannels = 10, kSpeed = 6, kBpm = 100;

// ---- instruments ----

struct Envelope {
  std::vector<std::pair<int, int>> points;  // (tick, volume 0..64)
  int sustain = -1;                          // point index held until key off
};

struct Instrument {
  std::string name;
  std::vector<int16_t> pcm;
  bool loop = false;
  int volume = 64, pan = 128;
  Envelope env;
  int fadeout = 0;
  int vibDepth = 0, vibRate = 0, vibSweep = 0;
};

std::vector<int16_t> ToPcm(const std::vector<double>& w, double peak) {
  double max = 0;
  for (double v : w) max = std::max(max, std::fabs(v));
  std::vector<int16_t> out;
  for (double v : w) out.push_back(static_cast<int16_t>(std::lround(v / max * peak * 32767.0)));
  return out;
}

// A looped tone at C-4: 48 cycles in 8192 samples (261.6 Hz), harmonics with the
// given amplitudes, a second voice whose phase drifts once per loop (a chorus
// that still loops seamlessly).
std::vector<int16_t> Tone(const std::vector<double>& harmonics, double chorus) {
  constexpr int kLen = 8192, kCycles = 48;
  std::vector<double> w(kLen);
  for (int i = 0; i < kLen; ++i) {
    const double p = 2.0 * kPi * kCycles * i / kLen;
    const double drift = chorus * std::sin(2.0 * kPi * i / kLen);
    for (size_t h = 0; h < harmonics.size(); ++h) {
      const double n = static_cast<double>(h + 1);
      w[i] += harmonics[h] * (std::sin(n * p) + (chorus > 0 ? std::sin(n * (p + drift)) : 0.0));
    }
  }
  return ToPcm(w, 0.9);
}

struct Noise {
  uint32_t state = 0x1234567u;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
  }
};

std::vector<int16_t> Kick() {
  std::vector<double> w(static_cast<size_t>(0.35 * kRate));
  double phase = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = i / kRate;
    phase += 2.0 * kPi * (48.0 + 110.0 * std::exp(-t / 0.03)) / kRate;
    w[i] = std::sin(phase) * std::exp(-t / 0.12) + 0.3 * std::exp(-t / 0.002);
  }
  return ToPcm(w, 0.95);
}

std::vector<int16_t> Snare() {
  std::vector<double> w(static_cast<size_t>(0.3 * kRate));
  Noise n;
  double low = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = i / kRate;
    const double white = n.Next();
    low += 0.25 * (white - low);
    w[i] = 0.6 * std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t / 0.05) + (white - 0.5 * low) * std::exp(-t / 0.09);
  }
  return ToPcm(w, 0.9);
}

// Hats and cymbal: noise with its lows taken out, decay time `decay`.
std::vector<int16_t> Metal(double seconds, double decay) {
  std::vector<double> w(static_cast<size_t>(seconds * kRate));
  Noise n;
  double low = 0, prev = 0;
  for (size_t i = 0; i < w.size(); ++i) {
    const double t = i / kRate;
    const double white = n.Next();
    low += 0.5 * (white - low);
    const double high = white - low;
    w[i] = (high - 0.3 * prev) * std::exp(-t / decay) * std::min(1.0, t / 0.001);
    prev = high;
  }
  return ToPcm(w, 0.8);
}

std::vector<Instrument> Instruments() {
  std::vector<Instrument> ins(8);
  ins[0] = {"lead", Tone({1.0, 0.32, 0.22, 0.08, 0.06, 0.02}, 0.35), true, 44, 112,
            {{{0, 0}, {2, 64}, {12, 46}, {40, 38}}, 3}, 900, 3, 10, 24};
  ins[1] = {"bass", Tone({1.0, 0.6, 0.3, 0.12, 0.05}, 0.0), true, 56, 128,
            {{{0, 64}, {8, 44}, {30, 30}, {80, 22}}, -1}, 1200};
  ins[2] = {"pad", Tone({1.0, 0.5, 0.33, 0.25, 0.2, 0.16, 0.12, 0.1, 0.08, 0.06}, 1.2), true, 20, 128,
            {{{0, 0}, {18, 56}, {40, 48}}, 2}, 300, 2, 6, 60};
  ins[3] = {"mallet", Tone({1.0, 0.0, 0.28, 0.15, 0.0, 0.05}, 0.0), true, 30, 84,
            {{{0, 64}, {3, 40}, {14, 12}, {30, 0}}, -1}, 0};
  ins[4] = {"kick", Kick(), false, 60, 128, {}, 0};
  ins[5] = {"snare", Snare(), false, 40, 136, {}, 0};
  ins[6] = {"hat", Metal(0.1, 0.025), false, 20, 160, {}, 0};
  ins[7] = {"cymbal", Metal(1.4, 0.45), false, 16, 100, {}, 0};
  return ins;
}
enum : uint8_t { kLead = 1, kBass, kPad, kMallet, kKick, kSnare, kHat, kCymbal };

// ---- the score ----

struct Cell {
  uint8_t note = 0, ins = 0, vol = 0, fx = 0, param = 0;
};
using Pattern = std::vector<std::array<Cell, kChannels>>;
constexpr uint8_t kKeyOff = 97;
enum Channel { kChLead, kChEcho, kChBass, kChPad1, kChPad2, kChPad3, kChMallet, kChKick, kChSnare, kChHat };

// "C5", "F#4", "Bb3" -> XM note (C-0 = 1).
int Note(const std::string& name) {
  static const int kSemitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int n = kSemitone[name.at(0) - 'A'];
  size_t at = 1;
  if (name.at(at) == '#') ++n, ++at;
  else if (name.at(at) == 'b') --n, ++at;
  return (name.at(at) - '0') * 12 + n + 1;
}
uint8_t Vol(int v) { return static_cast<uint8_t>(0x10 + std::clamp(v, 0, 64)); }

// A melody line: "E5/2 G5/2 r/4 ..." (note or rest, then its length in rows),
// played from `row` on; a rest is a key off. The echo repeats it `delay` rows later.
void Melody(Pattern& p, const std::string& line, int row, int delay) {
  std::istringstream in(line);
  std::string token;
  while (in >> token) {
    const size_t slash = token.find('/');
    const std::string what = token.substr(0, slash);
    const int length = std::stoi(token.substr(slash + 1));
    const bool rest = what == "r";
    Cell lead{static_cast<uint8_t>(rest ? kKeyOff : Note(what)), static_cast<uint8_t>(rest ? 0 : kLead), 0, 0, 0};
    p[row][kChLead] = lead;
    if (row + delay < kRows) {
      Cell echo = lead;
      if (!rest) echo.vol = Vol(22);
      p[row + delay][kChEcho] = echo;
    }
    row += length;
  }
  if (row != kRows) throw std::logic_error("a melody line does not fill its pattern: " + line);
}

struct Chord {
  const char* root;  // bass root, octave 2
  const char* fifth;
  const char* voices[3];
};
const Chord kC{"C2", "G2", {"E4", "G4", "C5"}}, kAm{"A1", "E2", {"E4", "A4", "C5"}},
    kF{"F1", "C2", {"F4", "A4", "C5"}}, kG{"G1", "D2", {"D4", "G4", "B4"}}, kEm{"E2", "B2", {"E4", "G4", "B4"}};

enum class Groove { Full, Sparse, Calm };

// One bar (16 rows) of the accompaniment from `row` on.
void Accompany(Pattern& p, int row, const Chord& c, bool arp, Groove groove) {
  const int root = Note(c.root), fifth = Note(c.fifth);
  for (int v = 0; v < 3; ++v) p[row][kChPad1 + v] = {static_cast<uint8_t>(Note(c.voices[v])), kPad, 0, 0, 0};
  if (groove == Groove::Calm) {
    p[row][kChBass] = {static_cast<uint8_t>(root + 12), kBass, 0, 0, 0};
  } else {
    // Root, root, octave, root, fifth, octave, fifth: a walking eighth-note figure.
    const std::pair<int, int> figure[] = {{0, root + 12}, {3, root + 12}, {6, root + 24}, {8, root + 12},
                                          {10, fifth + 12}, {12, root + 24}, {14, fifth + 12}};
    for (auto [at, note] : figure) p[row + at][kChBass] = {static_cast<uint8_t>(note), kBass, Vol(at % 4 ? 44 : 60), 0, 0};
  }
  if (arp) {
    const int tones[] = {Note(c.voices[0]) + 12, Note(c.voices[1]) + 12, Note(c.voices[2]) + 12, Note(c.voices[0]) + 24};
    const int order[] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int i = 0; i < 8; ++i)
      p[row + 2 * i][kChMallet] = {static_cast<uint8_t>(tones[order[i]]), kMallet, Vol(i % 2 ? 34 : 46), 0, 0};
  }
  for (int r = 0; r < 16; r += 2) {
    if (groove == Groove::Calm && r % 4) continue;
    p[row + r][kChHat] = {static_cast<uint8_t>(Note("C4")), kHat, Vol(r % 4 ? 26 : 44), 0, 0};
  }
  if (groove != Groove::Calm) {
    for (int r : {0, 8}) p[row + r][kChKick] = {static_cast<uint8_t>(Note("C4")), kKick, 0, 0, 0};
    if (groove == Groove::Full) p[row + 10][kChKick] = {static_cast<uint8_t>(Note("C4")), kKick, Vol(40), 0, 0};
    for (int r : {4, 12}) p[row + r][kChSnare] = {static_cast<uint8_t>(Note("C4")), kSnare, 0, 0, 0};
  }
}

void Crash(Pattern& p, int row) { p[row][kChSnare] = {static_cast<uint8_t>(Note("C4")), kCymbal, 0, 0, 0}; }
void Fill(Pattern& p, int row) {  // a snare roll over the last beat of a bar
  for (int r = 12; r < 16; ++r) p[row + r][kChSnare] = {static_cast<uint8_t>(Note("C4")), kSnare, Vol(28 + 10 * (r - 12)), 0, 0};
}

std::vector<Pattern> Score() {
  std::vector<Pattern> song(5, Pattern(kRows));
  struct Section {
    const Chord* chords[4];
    const char* melody;
    bool arp;
  };
  const Section sections[5] = {
      // A: the theme.
      {{&kC, &kAm, &kF, &kG},
       "E5/2 G5/2 C6/4 B5/2 G5/2 E5/4  A5/6 G5/2 E5/4 C5/4  F5/2 A5/2 C6/4 D6/2 C6/2 A5/4  G5/6 F5/2 E5/2 D5/2 B4/4",
       false},
      // A': the theme answered, with the arpeggio joining.
      {{&kC, &kAm, &kF, &kG},
       "E5/2 G5/2 C6/4 D6/2 E6/2 C6/4  C6/4 B5/2 A5/2 E5/6 r/2  F5/2 A5/2 C6/4 A5/2 F5/2 C6/4  B5/4 D6/4 G5/6 r/2",
       true},
      // B: the middle.
      {{&kF, &kG, &kEm, &kAm},
       "A5/6 C6/2 A5/4 F5/4  G5/6 B5/2 D6/4 B5/4  E5/2 G5/2 B5/4 G5/2 E5/2 B4/4  C5/4 E5/4 A5/6 r/2", true},
      // B': up to the top note and back.
      {{&kF, &kG, &kC, &kG},
       "C6/6 A5/2 F5/4 A5/4  D6/6 B5/2 G5/4 B5/4  E6/4 D6/2 C6/2 G5/4 E5/4  D5/4 G5/4 B5/4 D6/4", true},
      // C: a calm bar pair, then the drums come back and lead home.
      {{&kAm, &kF, &kC, &kG}, "r/4 E5/4 A5/8  r/4 F5/4 C6/8  r/4 G5/4 E6/8  D6/4 B5/4 G5/4 D5/4", true},
  };
  for (int s = 0; s < 5; ++s) {
    Pattern& p = song[s];
    for (int bar = 0; bar < 4; ++bar) {
      const Groove g = s == 4 && bar < 2 ? Groove::Calm : s == 0 ? Groove::Sparse : Groove::Full;
      Accompany(p, bar * 16, *sections[s].chords[bar], sections[s].arp, g);
    }
    Melody(p, sections[s].melody, 0, 3);
  }
  Crash(song[0], 0);
  Crash(song[2], 0);
  Fill(song[1], 48);
  Fill(song[3], 48);
  Fill(song[4], 48);
  return song;
}

// ---- the XM file ----

struct Writer {
  std::string b;
  void u8(int v) { b += static_cast<char>(v & 255); }
  void u16(int v) { u8(v), u8(v >> 8); }
  void u32(uint32_t v) { u16(static_cast<int>(v & 0xFFFF)), u16(static_cast<int>(v >> 16)); }
  void text(const std::string& s, size_t size) {
    std::string t = s.substr(0, size);
    t.resize(size, '\0');
    b += t;
  }
};

std::string WriteXM(const std::vector<Pattern>& song, const std::vector<Instrument>& ins) {
  Writer w;
  w.text("Extended Module: ", 17);
  w.text("TavroKavel Theme", 20);
  w.u8(0x1A);
  w.text("musgen", 20);
  w.u16(0x0104);
  w.u32(276);
  const int orders = static_cast<int>(song.size());
  w.u16(orders);  // song length
  w.u16(0);       // restart position: the whole piece loops
  w.u16(kChannels);
  w.u16(static_cast<int>(song.size()));
  w.u16(static_cast<int>(ins.size()));
  w.u16(1);  // linear frequency table
  w.u16(kSpeed);
  w.u16(kBpm);
  for (int i = 0; i < 256; ++i) w.u8(i < orders ? i : 0);

  for (const Pattern& p : song) {
    Writer data;
    for (const auto& row : p)
      for (const Cell& c : row) {
        const int flags = 0x80 | (c.note ? 1 : 0) | (c.ins ? 2 : 0) | (c.vol ? 4 : 0) | (c.fx ? 8 : 0) | (c.param ? 16 : 0);
        data.u8(flags);
        if (c.note) data.u8(c.note);
        if (c.ins) data.u8(c.ins);
        if (c.vol) data.u8(c.vol);
        if (c.fx) data.u8(c.fx);
        if (c.param) data.u8(c.param);
      }
    w.u32(9);
    w.u8(0);
    w.u16(kRows);
    w.u16(static_cast<int>(data.b.size()));
    w.b += data.b;
  }

  for (const Instrument& in : ins) {
    const size_t start = w.b.size();
    w.u32(263);
    w.text(in.name, 22);
    w.u8(0);
    w.u16(1);   // one sample
    w.u32(40);  // sample header size
    for (int i = 0; i < 96; ++i) w.u8(0);
    for (int i = 0; i < 12; ++i) {
      const bool has = i < static_cast<int>(in.env.points.size());
      w.u16(has ? in.env.points[i].first : 0);
      w.u16(has ? in.env.points[i].second : 0);
    }
    for (int i = 0; i < 48; ++i) w.u8(0);  // no panning envelope
    w.u8(static_cast<int>(in.env.points.size()));
    w.u8(0);
    w.u8(std::max(in.env.sustain, 0));
    w.u8(0), w.u8(0);      // volume loop
    w.u8(0), w.u8(0), w.u8(0);  // panning sustain and loop
    w.u8(in.env.points.empty() ? 0 : (1 | (in.env.sustain >= 0 ? 2 : 0)));
    w.u8(0);
    w.u8(0), w.u8(in.vibSweep), w.u8(in.vibDepth), w.u8(in.vibRate);
    w.u16(in.fadeout);
    while (w.b.size() - start < 263) w.u8(0);

    const uint32_t bytes = static_cast<uint32_t>(in.pcm.size() * 2);
    w.u32(bytes);
    w.u32(0);
    w.u32(in.loop ? bytes : 0);
    w.u8(in.volume);
    w.u8(0);                           // finetune
    w.u8(0x10 | (in.loop ? 1 : 0));    // 16-bit, forward loop or none
    w.u8(in.pan);
    w.u8(kRelNote);
    w.u8(0);
    w.text(in.name, 22);
    int16_t prev = 0;
    for (int16_t s : in.pcm) {  // delta coded
      w.u16(static_cast<uint16_t>(s - prev));
      prev = s;
    }
  }
  return w.b;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: musgen OUT.xm\n");
    return 2;
  }
  const std::string xm = WriteXM(Score(), Instruments());
  std::ofstream out(argv[1], std::ios::binary);
  if (!(out << xm)) {
    std::fprintf(stderr, "musgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
