#pragma once
// The raw OpenGL harness: one VBO and a plain texture x colour shader drawing
// 800 x 600 frames of textured RGBA quads modulated by a per-quad colour and
// alpha-blended. quadmark races it against the engine; startup weighs the
// engine's memory against it.
#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace bench {

inline constexpr int kWidth = 800, kHeight = 600, kTextureSide = 32;

struct Quad {
  float x, y;
  uint8_t r, g, b, a;
};

// The texture: a gradient whose alpha falls off towards the edges, A8R8G8B8.
inline std::vector<uint32_t> TexturePixels() {
  std::vector<uint32_t> p(kTextureSide * kTextureSide);
  for (int y = 0; y < kTextureSide; ++y)
    for (int x = 0; x < kTextureSide; ++x) {
      const uint32_t a = uint32_t(255 - 4 * std::max(std::abs(2 * x - 31), std::abs(2 * y - 31)) / 2);
      p[size_t(y * kTextureSide + x)] = a << 24 | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x80u;
    }
  return p;
}

// `count` quads spread over the frame, with colours from a fixed seed.
inline std::vector<Quad> RandomQuads(size_t count) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> x(0, kWidth - 32), y(0, kHeight - 32);
  std::uniform_int_distribution<int> channel(64, 255);
  std::vector<Quad> quads(count);
  for (Quad& q : quads)
    q = {x(random), y(random), uint8_t(channel(random)), uint8_t(channel(random)), uint8_t(channel(random)),
         uint8_t(channel(random))};
  return quads;
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

}  // namespace bench
