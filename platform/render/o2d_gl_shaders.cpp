#include "o2d_gl_shaders.h"

#include <vector>

#include "o2d_render_device.h"

namespace {

const char* const kSceneVertex = R"(#version 330 core
layout(location = 0) in vec4 aPosition;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec4 aSpecular;
layout(location = 3) in vec2 aTex0;
layout(location = 4) in vec2 aTex1;
uniform vec2 uTargetSize;
uniform vec4 uTextureFactor;
out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTex0;
out vec2 vTex1;
flat out vec4 vTextureFactor;
void main() {
  // Screen pixel centres are integers, GL's are half-integers. The frame's first
  // row is the top of the screen, so y needs no flip here (Present flips).
  vec2 p = (aPosition.xy + 0.5) / uTargetSize * 2.0 - 1.0;
  gl_Position = vec4(p, 0.0, 1.0);
  vDiffuse = aDiffuse;
  vSpecular = aSpecular;
  vTex0 = aTex0;
  vTex1 = aTex1;
  // Through a varying: llvmpipe's linear rasteriser swaps red and blue of a
  // colour made of uniforms alone when it draws into an 8-bit BGRA frame.
  vTextureFactor = uTextureFactor;
}
)";

const char* const kSceneFragmentHead = R"(#version 330 core
in vec4 vDiffuse;
in vec4 vSpecular;
in vec2 vTex0;
in vec2 vTex1;
flat in vec4 vTextureFactor;
uniform sampler2D uTexture0;
uniform sampler2D uTexture1;
uniform vec3 uFogColor;
out vec4 oColor;
void main() {
  vec4 c = vDiffuse;
)";

bool KnownOp(uint32_t op) {
  switch (op) {
    case D3DTOP_SELECTARG1:
    case D3DTOP_SELECTARG2:
    case D3DTOP_MODULATE:
    case D3DTOP_ADD:
    case D3DTOP_SUBTRACT:
    case D3DTOP_DOTPRODUCT3: return true;
    default: return false;
  }
}

uint8_t Arg(uint32_t arg) {
  arg &= D3DTA_SELECTMASK;
  return uint8_t(arg <= D3DTA_SPECULAR ? arg : D3DTA_CURRENT);
}

// One operation with its arguments; the arguments it does not read become 0.
void Reduce(uint32_t op, uint32_t arg1, uint32_t arg2, uint8_t& outOp, uint8_t& outArg1, uint8_t& outArg2) {
  outOp = uint8_t(op == D3DTOP_DISABLE ? D3DTOP_DISABLE : KnownOp(op) ? op : D3DTOP_SELECTARG1);
  outArg1 = outOp == D3DTOP_DISABLE || outOp == D3DTOP_SELECTARG2 ? 0 : Arg(arg1);
  outArg2 = outOp == D3DTOP_DISABLE || outOp == D3DTOP_SELECTARG1 ? 0 : Arg(arg2);
}

std::string ArgSource(uint8_t arg, int stage) {
  switch (arg) {
    case D3DTA_DIFFUSE: return "vDiffuse";
    case D3DTA_TEXTURE: return std::string("t").append(std::to_string(stage));
    case D3DTA_TFACTOR: return "vTextureFactor";
    case D3DTA_SPECULAR: return "vSpecular";
    default: return "c";
  }
}

std::string OpSource(uint8_t op, uint8_t arg1, uint8_t arg2, int stage) {
  const std::string a1 = ArgSource(arg1, stage), a2 = ArgSource(arg2, stage);
  switch (op) {
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE: return "(" + a1 + " * " + a2 + ")";
    case D3DTOP_ADD: return "min(" + a1 + " + " + a2 + ", 1.0)";
    case D3DTOP_SUBTRACT: return "max(" + a1 + " - " + a2 + ", 0.0)";
    case D3DTOP_DOTPRODUCT3: return "vec4(clamp(4.0 * dot(" + a1 + ".rgb - 0.5, " + a2 + ".rgb - 0.5), 0.0, 1.0))";
    default: return a1;
  }
}

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

O2DSceneKey O2DMakeSceneKey(const O2DStageOps& stage0, const O2DStageOps& stage1, bool fog) {
  O2DSceneKey key;
  key.fog = fog;
  const O2DStageOps* ops[2] = {&stage0, &stage1};
  for (int s = 0; s < 2; ++s) {
    O2DSceneKey::Stage& k = key.stages[s];
    Reduce(ops[s]->colorOp, ops[s]->colorArg1, ops[s]->colorArg2, k.colorOp, k.colorArg1, k.colorArg2);
    // A disabled stage ends the cascade; the dot product fills alpha too.
    if (k.colorOp == D3DTOP_DISABLE) break;
    if (k.colorOp != D3DTOP_DOTPRODUCT3)
      Reduce(ops[s]->alphaOp, ops[s]->alphaArg1, ops[s]->alphaArg2, k.alphaOp, k.alphaArg1, k.alphaArg2);
  }
  return key;
}

std::string O2DSceneFragmentSource(const O2DSceneKey& key) {
  std::string source = kSceneFragmentHead;
  for (int s = 0; s < 2; ++s) {
    const O2DSceneKey::Stage& k = key.stages[s];
    if (k.colorOp == D3DTOP_DISABLE) break;
    const std::string n = std::to_string(s);
    for (uint8_t arg : {k.colorArg1, k.colorArg2, k.alphaArg1, k.alphaArg2})
      if (arg == D3DTA_TEXTURE) {
        source += "  vec4 t" + n + " = texture(uTexture" + n + ", vTex" + n + ");\n";
        break;
      }
    const std::string color = OpSource(k.colorOp, k.colorArg1, k.colorArg2, s);
    if (k.colorOp == D3DTOP_DOTPRODUCT3 ||
        (k.colorOp == k.alphaOp && k.colorArg1 == k.alphaArg1 && k.colorArg2 == k.alphaArg2))
      source += "  c = " + color + ";\n";
    else if (k.alphaOp == D3DTOP_DISABLE)
      source += "  c = vec4(" + color + ".rgb, c.a);\n";
    else
      source += "  c = vec4(" + color + ".rgb, " + OpSource(k.alphaOp, k.alphaArg1, k.alphaArg2, s) + ".a);\n";
  }
  // Vertex fog: the specular alpha is the fog factor, 1 = no fog.
  if (key.fog) source += "  c.rgb = mix(uFogColor, c.rgb, vSpecular.a);\n";
  return source + "  oColor = c;\n}\n";
}

GLuint O2DBuildSceneProgram(const O2DSceneKey& key, std::string& error) {
  const std::string fragment = O2DSceneFragmentSource(key);
  return Link(kSceneVertex, fragment.c_str(), error);
}

GLuint O2DBuildPresentProgram(std::string& error) { return Link(kPresentVertex, kPresentFragment, error); }
