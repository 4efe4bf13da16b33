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

namespace {

constexpr int kWidth = 800, kHeight = 600, kTextureSide = 32;

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

struct Quad {
  float x, y;
  uint8_t r, g, b, a;
};

struct Row {
  int quads;
  int size;
};

// The texture: a gradient whose alpha falls off towards the edges, A8R8G8B8.
std::vector<uint32_t> TexturePixels() {
  std::vector<uint32_t> p(kTextureSide * kTextureSide);
  for (int y = 0; y < kTextureSide; ++y)
    for (int x = 0; x < kTextureSide; ++x) {
      const uint32_t a = uint32_t(255 - 4 * std::max(std::abs(2 * x - 31), std::abs(2 * y - 31)) / 2);
      p[size_t(y * kTextureSide + x)] = a << 24 | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x80u;
    }
  return p;
}

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

class Contender {
 public:
  virtual ~Contender() = default;
  virtual const char* Name() const = 0;
  virtual void Frame(const std::vector<Quad>& quads, int size) = 0;
  // Waits until the GPU (here: the driver's threads) has drawn everything sent.
  virtual void Finish() {
    SDL_GL_MakeCurrent(m_window, m_context);
    glFinish();
  }

 protected:
  SDL_Window* m_window = nullptr;
  SDL_GLContext m_context = nullptr;
};

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

class RawGL final : public Contender {
 public:
  RawGL() {
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    m_window = SDL_CreateWindow("raw", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    m_context = m_window ? SDL_GL_CreateContext(m_window) : nullptr;
    if (m_context == nullptr) {
      std::fprintf(stderr, "quadmark: no OpenGL context: %s\n", SDL_GetError());
      std::exit(1);
    }
    SDL_GL_MakeCurrent(m_window, m_context);
    SDL_GL_SetSwapInterval(0);
    m_program = Program();
    glUseProgram(m_program);
    glUniform2f(glGetUniformLocation(m_program, "uScale"), 2.0f / kWidth, -2.0f / kHeight);
    glGenVertexArrays(1, &m_vao);
    glBindVertexArray(m_vao);
    glGenBuffers(1, &m_vbo);
    glBindBuffer(GL_ARRAY_BUFFER, m_vbo);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(8));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<void*>(16));
    const std::vector<uint32_t> pixels = TexturePixels();
    glGenTextures(1, &m_texture);
    glBindTexture(GL_TEXTURE_2D, m_texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureSide, kTextureSide, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 pixels.data());
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  ~RawGL() override {
    SDL_GL_MakeCurrent(m_window, m_context);
    glDeleteTextures(1, &m_texture);
    glDeleteBuffers(1, &m_vbo);
    glDeleteVertexArrays(1, &m_vao);
    glDeleteProgram(m_program);
    SDL_GL_DeleteContext(m_context);
    SDL_DestroyWindow(m_window);
  }
  const char* Name() const override { return "raw"; }
  void Frame(const std::vector<Quad>& quads, int size) override {
    SDL_GL_MakeCurrent(m_window, m_context);
    m_vertices.clear();
    const float s = float(size);
    for (const Quad& q : quads) {
      const uint8_t c[4] = {q.r, q.g, q.b, q.a};
      const Vertex v[4] = {{q.x, q.y, 0, 0, {}}, {q.x + s, q.y, 1, 0, {}}, {q.x, q.y + s, 0, 1, {}},
                           {q.x + s, q.y + s, 1, 1, {}}};
      for (int i : {0, 1, 2, 2, 1, 3}) {
        m_vertices.push_back(v[i]);
        std::copy(c, c + 4, m_vertices.back().rgba);
      }
    }
    glClearColor(0.1f, 0.1f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(m_vertices.size() * sizeof(Vertex)), m_vertices.data(), GL_STREAM_DRAW);
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(m_vertices.size()));
    SDL_GL_SwapWindow(m_window);
    glFlush();
  }

 private:
  struct Vertex {
    float x, y, u, v;
    uint8_t rgba[4];
  };
  static GLuint Shader(GLenum type, const char* source) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    return s;
  }
  static GLuint Program() {
    const char* vs = "#version 330 core\n"
                     "layout(location=0) in vec2 p; layout(location=1) in vec2 t; layout(location=2) in vec4 c;\n"
                     "uniform vec2 uScale; out vec2 vt; out vec4 vc;\n"
                     "void main() { vt = t; vc = c; gl_Position = vec4(p * uScale + vec2(-1.0, 1.0), 0.0, 1.0); }\n";
    const char* fs = "#version 330 core\n"
                     "uniform sampler2D uTex; in vec2 vt; in vec4 vc; out vec4 o;\n"
                     "void main() { o = texture(uTex, vt) * vc; }\n";
    GLuint program = glCreateProgram();
    GLuint v = Shader(GL_VERTEX_SHADER, vs), f = Shader(GL_FRAGMENT_SHADER, fs);
    glAttachShader(program, v);
    glAttachShader(program, f);
    glLinkProgram(program);
    glDeleteShader(v);
    glDeleteShader(f);
    return program;
  }

  GLuint m_program = 0, m_vao = 0, m_vbo = 0, m_texture = 0;
  std::vector<Vertex> m_vertices;
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
  std::mt19937 random(7);
  std::uniform_real_distribution<float> x(0, kWidth - 32), y(0, kHeight - 32);
  std::uniform_int_distribution<int> channel(64, 255);
  std::vector<Quad> all(50000);
  for (Quad& q : all)
    q = {x(random), y(random), uint8_t(channel(random)), uint8_t(channel(random)), uint8_t(channel(random)),
         uint8_t(channel(random))};

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
