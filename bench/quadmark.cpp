// Quads per CPU-second of three renderers drawing the same frames in one process:
// the engine on its OpenGL device, SDL_Renderer on SDL's OpenGL driver, and raw
// OpenGL (one VBO, a plain texture x colour shader). 800 x 600, textured RGBA
// quads modulated by a per-quad colour and alpha-blended, present included.
// The contenders take turns for every row and repetition, so a busy machine
// slows them alike; CPU time is the whole process's (the GL driver's threads too).
//
// Every frame ends with a flush, as a window's swap would do: the offscreen
// driver's surfaces do not flush at swap, and unflushed frames pile up unseen.
//
//   SDL_VIDEODRIVER=offscreen quadmark [repetitions] [quads per measurement]
//
// Ends with one line per row: ratio <quads>x<size> engine/sdl=<x.xx> engine/raw=<x.xx>
#include <SDL.h>
#include <epoxy/gl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "costrak.h"
#include "raw_gl.h"

namespace {

using namespace bench;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Row {
  int quads;
  int size;
};

// A top-down 32-bit bitmap, the form the engine's texture loader reads.
std::string Bitmap(const std::vector<uint32_t>& pixels) {
  std::string b(54 + pixels.size() * 4, '\0');
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = char(v >> (8 * i));
  };
  b[0] = 'B', b[1] = 'M';
  put(10, 54), put(14, 40), put(18, kTextureSide), put(22, uint32_t(-kTextureSide)), put(26, 1 | 32 << 16);
  for (size_t i = 0; i < pixels.size(); ++i) put(54 + 4 * i, pixels[i]);
  return b;
}

class Engine final : public Contender {
 public:
  Engine() {
    m_engine.GfxPreInit(kWidth, kHeight);
    m_engine.GfxInit(2, false);
    m_window = SDL_GL_GetCurrentWindow();
    m_context = SDL_GL_GetCurrentContext();
    const std::string bmp = Bitmap(TexturePixels());
    m_engine.LoadTexture(bmp.data(), uint32_t(bmp.size()), 3, "TEX_QUAD", 1, 0, 0);
    const std::string pack =
        "<techniquespack><t id=\"TEQ_QUAD\" alphablending=\"ON\" absrc=\"SRCALPHA\" abdest=\"INVSRCALPHA\" "
        "s0_colorop=\"MODULATE\" s0_colorarg1=\"TEXTURE\" s0_colorarg2=\"DIFFUSE\" s0_alphaop=\"MODULATE\" "
        "s0_alphaarg1=\"TEXTURE\" s0_alphaarg2=\"DIFFUSE\" s1_colorop=\"DISABLE\"/></techniquespack>";
    m_engine.LoadTechniquesPack(pack.data(), uint32_t(pack.size()));
  }
  ~Engine() override { m_engine.Cleanup(); }
  const char* Name() const override { return "engine"; }
  void Frame(const std::vector<Quad>& quads, int size) override {
    SDL_GL_MakeCurrent(m_window, m_context);
    m_engine.SceneBegin();
    m_engine.SceneClearScreen(0.1f, 0.1f, 0.2f);
    m_engine.TexSetByStrID("TEX_QUAD", 0);
    m_engine.TechApplyByStrID("TEQ_QUAD");
    const float s = float(size);
    for (const Quad& q : quads) {
      m_engine.VQuadSetColor(q.r / 255.0f, q.g / 255.0f, q.b / 255.0f, q.a / 255.0f);
      m_engine.VQuadSetPos(q.x, q.y, s, s);
      m_engine.SceneRender();
    }
    m_engine.SceneEnd();
    m_engine.ScenePresent();
    glFlush();
  }

 private:
  COstrak m_engine;
};

class SDLRenderer final : public Contender {
 public:
  SDLRenderer() {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    m_window = SDL_CreateWindow("sdl", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    m_renderer = m_window ? SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
    if (m_renderer == nullptr) {
      std::fprintf(stderr, "quadmark: no SDL renderer: %s\n", SDL_GetError());
      std::exit(1);
    }
    m_context = SDL_GL_GetCurrentContext();
    const std::vector<uint32_t> pixels = TexturePixels();
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kTextureSide,
                                  kTextureSide);
    SDL_UpdateTexture(m_texture, nullptr, pixels.data(), kTextureSide * 4);
    SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
  }
  ~SDLRenderer() override {
    SDL_DestroyTexture(m_texture);
    SDL_DestroyRenderer(m_renderer);
    SDL_DestroyWindow(m_window);
  }
  const char* Name() const override { return "sdl"; }
  void Frame(const std::vector<Quad>& quads, int size) override {
    SDL_SetRenderDrawColor(m_renderer, 25, 25, 51, 255);
    SDL_RenderClear(m_renderer);
    SDL_Rect dst{0, 0, size, size};
    for (const Quad& q : quads) {
      SDL_SetTextureColorMod(m_texture, q.r, q.g, q.b);
      SDL_SetTextureAlphaMod(m_texture, q.a);
      dst.x = int(q.x), dst.y = int(q.y);
      SDL_RenderCopy(m_renderer, m_texture, nullptr, &dst);
    }
    SDL_RenderPresent(m_renderer);
    glFlush();
  }
  void Finish() override {
    SDL_RenderFlush(m_renderer);
    Contender::Finish();
  }

 private:
  SDL_Renderer* m_renderer = nullptr;
  SDL_Texture* m_texture = nullptr;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const long budget = argc > 2 ? std::max(1L, std::atol(argv[2])) : 100000;
  // The engine writes its log into the working directory.
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("quadmark." + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::current_path(dir);
  // Unpaced presents: the benchmark measures drawing, not waiting for the display.
  setenv("OSTRAK2D_UNPACED", "1", 1);
  setenv("OSTRAK2D_WINDOWED", "1", 1);
  SDL_Init(SDL_INIT_VIDEO);

  const Row rows[] = {{1000, 32}, {10000, 32}, {50000, 32}, {50000, 2}};
  const std::vector<Quad> all = RandomQuads(50000);

  {
    Engine engine;
    SDLRenderer sdl;
    RawGL raw;
    Contender* contenders[] = {&engine, &sdl, &raw};
    // samples[row][contender]: quads per CPU-second of each repetition.
    std::vector<std::vector<std::vector<double>>> samples(std::size(rows), std::vector<std::vector<double>>(3));
    std::vector<std::vector<double>> emptyMs(3);
    for (int rep = 0; rep < repetitions; ++rep) {
      for (size_t r = 0; r < std::size(rows); ++r) {
        const std::vector<Quad> quads(all.begin(), all.begin() + rows[r].quads);
        const int frames = int(std::max(2L, budget / rows[r].quads));
        for (int c = 0; c < 3; ++c) {
          contenders[c]->Frame(quads, rows[r].size);  // warm: buffers, shaders
          contenders[c]->Finish();
          const double start = CpuSeconds();
          for (int f = 0; f < frames; ++f) contenders[c]->Frame(quads, rows[r].size);
          contenders[c]->Finish();
          samples[r][size_t(c)].push_back(double(frames) * rows[r].quads / (CpuSeconds() - start));
        }
      }
      for (int c = 0; c < 3; ++c) {
        const int frames = 100;
        contenders[c]->Finish();
        const double start = CpuSeconds();
        for (int f = 0; f < frames; ++f) contenders[c]->Frame({}, 32);
        contenders[c]->Finish();
        emptyMs[size_t(c)].push_back((CpuSeconds() - start) * 1000.0 / frames);
      }
    }
    std::printf("quads per CPU-second, median of %d (engine / sdl / raw)\n", repetitions);
    for (size_t r = 0; r < std::size(rows); ++r)
      std::printf("%6d x %2d: %10.0f %10.0f %10.0f\n", rows[r].quads, rows[r].size, Median(samples[r][0]),
                  Median(samples[r][1]), Median(samples[r][2]));
    std::printf("empty frame, CPU ms: %.3f %.3f %.3f\n", Median(emptyMs[0]), Median(emptyMs[1]), Median(emptyMs[2]));
    for (size_t r = 0; r < std::size(rows); ++r)
      std::printf("ratio %dx%d engine/sdl=%.2f engine/raw=%.2f\n", rows[r].quads, rows[r].size,
                  Median(samples[r][0]) / Median(samples[r][1]), Median(samples[r][0]) / Median(samples[r][2]));
  }
  SDL_Quit();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  std::filesystem::remove_all(dir);
  return 0;
}
