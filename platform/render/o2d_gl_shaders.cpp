#include "o2d_gl_shaders.h"

#include <vector>

namespace {

const char* const kSceneVertex = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec4 aSpecular;
layout(location = 3) in vec2 aTex0;
layout(location = 4) in vec2 aTex1;
uniform vec2 uTargetSize;
out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTex0;
out vec2 vTex1;
void main() {
  // Screen pixel centres are integers, GL's are half-integers. The frame's first
  // row is the top of the screen, so y needs no flip here (Present flips).
  vec2 p = (aPosition.xy + 0.5) / uTargetSize * 2.0 - 1.0;
  gl_Position = vec4(p, 0.0, 1.0);
  vDiffuse = aDiffuse;
  vSpecular = aSpecular;
  vTex0 = aTex0;
  vTex1 = aTex1;
}
)";

const char* const kSceneFragment = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTex0;
in vec2 vTex1;
uniform sampler2D uTexture0;
uniform sampler2D uTexture1;
uniform ivec3 uColorOps[2];
uniform ivec3 uAlphaOps[2];
uniform vec4 uTextureFactor;
uniform int uFogEnable;
uniform vec3 uFogColor;
out vec4 oColor;

const int TOP_DISABLE = 1;
const int TOP_SELECTARG1 = 2;
const int TOP_SELECTARG2 = 3;
const int TOP_MODULATE = 4;
const int TOP_ADD = 7;
const int TOP_SUBTRACT = 10;
const int TOP_DOTPRODUCT3 = 24;

vec4 Argument(int arg, vec4 current, vec4 texel) {
  switch (arg & 15) {
    case 0: return vDiffuse;
    case 1: return current;
    case 2: return texel;
    case 3: return uTextureFactor;
    case 4: return vSpecular;
  }
  return current;
}

vec4 Operation(int op, vec4 a1, vec4 a2) {
  switch (op) {
    case TOP_SELECTARG1: return a1;
    case TOP_SELECTARG2: return a2;
    case TOP_MODULATE: return a1 * a2;
    case TOP_ADD: return min(a1 + a2, 1.0);
    case TOP_SUBTRACT: return max(a1 - a2, 0.0);
    case TOP_DOTPRODUCT3: return vec4(clamp(4.0 * dot(a1.rgb - 0.5, a2.rgb - 0.5), 0.0, 1.0));
  }
  return a1;
}

vec4 Stage(int s, vec4 current, vec4 texel) {
  ivec3 c = uColorOps[s];
  ivec3 a = uAlphaOps[s];
  vec4 color = Operation(c.x, Argument(c.y, current, texel), Argument(c.z, current, texel));
  // The dot product goes to all four channels, alpha included.
  if (c.x == TOP_DOTPRODUCT3) return color;
  float alpha = current.a;
  if (a.x != TOP_DISABLE) alpha = Operation(a.x, Argument(a.y, current, texel), Argument(a.z, current, texel)).a;
  return vec4(color.rgb, alpha);
}

void main() {
  // A disabled stage ends the cascade; stage 0 starts from the diffuse colour.
  vec4 current = vDiffuse;
  if (uColorOps[0].x != TOP_DISABLE) {
    current = Stage(0, current, texture(uTexture0, vTex0));
    if (uColorOps[1].x != TOP_DISABLE) current = Stage(1, current, texture(uTexture1, vTex1));
  }
  // Vertex fog: the specular alpha is the fog factor, 1 = no fog.
  if (uFogEnable != 0) current.rgb = mix(uFogColor, current.rgb, vSpecular.a);
  oColor = current;
}
)";

const char* const kPresentVertex = R"(#version 330 core
out vec2 vCoord;
void main() {
  vec2 corner = vec2(gl_VertexID & 1, gl_VertexID >> 1);
  // The frame's first row is the top of the window.
  vCoord = vec2(corner.x, 1.0 - corner.y);
  gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* const kPresentFragment = R"(#version 330 core
in vec2 vCoord;
uniform sampler2D uFrame;
uniform sampler2D uGamma;
out vec4 oColor;
void main() {
  ivec3 i = ivec3(texture(uFrame, vCoord).rgb * 255.0 + 0.5);
  oColor = vec4(texelFetch(uGamma, ivec2(i.r, 0), 0).r, texelFetch(uGamma, ivec2(i.g, 0), 0).g,
                texelFetch(uGamma, ivec2(i.b, 0), 0).b, 1.0);
}
)";

// The info log of a shader or of a program: the same read through the getters of
// its kind (glGetShaderiv and glGetShaderInfoLog, or the program's pair).
std::string InfoLog(GLuint object, PFNGLGETSHADERIVPROC getiv, PFNGLGETSHADERINFOLOGPROC getInfoLog) {
  GLint length = 0;
  getiv(object, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> log(size_t(length > 0 ? length : 1), '\0');
  getInfoLog(object, GLsizei(log.size()), nullptr, log.data());
  return log.data();
}

GLuint Compile(GLenum type, const char* source, std::string& error) {
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok == GL_TRUE) return shader;
  error = "shader compilation failed: " + InfoLog(shader, glGetShaderiv, glGetShaderInfoLog);
  glDeleteShader(shader);
  return 0;
}

GLuint Link(const char* vertex, const char* fragment, std::string& error) {
  GLuint vs = Compile(GL_VERTEX_SHADER, vertex, error);
  if (vs == 0) return 0;
  GLuint fs = Compile(GL_FRAGMENT_SHADER, fragment, error);
  if (fs == 0) {
    glDeleteShader(vs);
    return 0;
  }
  GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (ok == GL_TRUE) return program;
  error = "program link failed: " + InfoLog(program, glGetProgramiv, glGetProgramInfoLog);
  glDeleteProgram(program);
  return 0;
}

}  // namespace

GLuint O2DBuildSceneProgram(std::string& error) { return Link(kSceneVertex, kSceneFragment, error); }

GLuint O2DBuildPresentProgram(std::string& error) { return Link(kPresentVertex, kPresentFragment, error); }
