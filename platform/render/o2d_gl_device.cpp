#include "o2d_gl_device.h"
#include "o2d_letterbox.h"
#include "o2d_gl_drawable.h"

#include "o2d_sdl.h"
#include "o2d_window.h"
#include <epoxy/gl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <map>
#include <new>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "o2d_gl_shaders.h"
#include "o2d_memory_texture.h"
#include "o2d_render_device_base.h"

#if defined(__SANITIZE_ADDRESS__)
#define O2D_PIN_GL_DRIVER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define O2D_PIN_GL_DRIVER 1
#endif
#endif
#ifdef O2D_PIN_GL_DRIVER
#include <dlfcn.h>
#include <link.h>
#endif

namespace {

#ifdef O2D_PIN_GL_DRIVER
// The GL driver is unloaded at exit before LeakSanitizer looks, and what it never
// freed then shows as leaks of an unknown module. Kept loaded, it stays reachable.
void PinGLDriver() {
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void*) {
        const char* name = info->dlpi_name;
        if (name != nullptr && (std::strstr(name, "_dri.so") || std::strstr(name, "libEGL_mesa") ||
                                std::strstr(name, "libGLX_mesa") || std::strstr(name, "libLLVM")))
          dlopen(name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        return 0;
      },
      nullptr);
}
#else
void PinGLDriver() {}
#endif

// Texture units: the two stages, then the units Present and uploads use, so
// neither disturbs the stage bindings.
constexpr GLuint kFrameUnit = 2;
constexpr GLuint kGammaUnit = 3;
constexpr GLuint kUploadUnit = 4;
constexpr uint32_t kBlendStages = 2;

struct GLFormat {
  GLint internal;
  GLenum format;
  GLenum type;
};

// The packed layouts match the little-endian Direct3D formats bit for bit. X
// forms go to RGB storage so that their alpha samples as 1; 16-bit formats keep
// 16-bit storage, as a Direct3D texture of theirs takes.
bool ToGLFormat(uint32_t format, GLFormat& out) {
  switch (format) {
    case D3DFMT_R5G6B5: out = {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5}; return true;
    case D3DFMT_X1R5G5B5: out = {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV}; return true;
    case D3DFMT_A1R5G5B5: out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV}; return true;
    case D3DFMT_A4R4G4B4: out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV}; return true;
    case D3DFMT_X4R4G4B4: out = {GL_RGB4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV}; return true;
    case D3DFMT_A8R8G8B8: out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV}; return true;
    case D3DFMT_X8R8G8B8: out = {GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV}; return true;
    default: return false;
  }
}

bool IsBackBufferFormat(uint32_t format) {
  return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 ||
         format == D3DFMT_X1R5G5B5;
}

GLenum ToGLBlend(uint32_t blend, GLenum fallback) {
  switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return fallback;
  }
}

GLint ToGLAddress(uint32_t address) {
  switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
  }
}

GLint ToGLMinFilter(uint32_t min, uint32_t mip) {
  const bool linear = min >= D3DTEXF_LINEAR;
  if (mip == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
  if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

void ColorToFloats(uint32_t argb, float out[4]) {
  out[0] = float((argb >> 16) & 0xFF) / 255.0f;
  out[1] = float((argb >> 8) & 0xFF) / 255.0f;
  out[2] = float(argb & 0xFF) / 255.0f;
  out[3] = float(argb >> 24) / 255.0f;
}

O2DDisplayMode DesktopMode() {
  O2DDisplayMode mode;
  SDL_DisplayMode sdl;
  if (SDL_GetDesktopDisplayMode(0, &sdl) != 0) return mode;
  mode.Width = uint32_t(sdl.w);
  mode.Height = uint32_t(sdl.h);
  mode.RefreshRate = uint32_t(std::max(sdl.refresh_rate, 0));
  switch (SDL_BITSPERPIXEL(sdl.format)) {
    case 15: mode.Format = D3DFMT_X1R5G5B5; break;
    case 16: mode.Format = D3DFMT_R5G6B5; break;
    default: mode.Format = D3DFMT_X8R8G8B8; break;
  }
  return mode;
}

bool O2D_PresentUnpaced() {
  const char* env = SDL_getenv("OSTRAK2D_UNPACED");
  return env != nullptr && std::strcmp(env, "1") == 0;
}

void SetGLAttributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // The window's pixels laid out as the frame's: an unscaled present is a plain copy.
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  // The engine draws without depth or stencil, and into its own frame.
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

class CO2DGLDevice;

class CO2DGLAdapter final : public IO2DRenderAdapter {
 public:
  bool Init(std::string& error, const std::function<void()>& windowMade);

  uint32_t AddRef() override { return ++m_refs; }
  uint32_t Release() override {
    if (--m_refs > 0) return m_refs;
    delete this;
    return 0;
  }
  bool GetIdentifier(O2DAdapterIdentifier& out) override {
    out = m_identifier;
    return true;
  }
  O2DDisplayMode GetDesktopMode() override { return DesktopMode(); }
  uint32_t GetModeCount() override { return uint32_t(m_modes.size()); }
  bool EnumMode(uint32_t index, O2DDisplayMode& out) override {
    if (index >= m_modes.size()) return false;
    out = m_modes[index];
    out.RefreshRate = DesktopMode().RefreshRate;
    return true;
  }
  bool CheckTextureFormat(uint32_t displayFormat, uint32_t textureFormat) override {
    return IsBackBufferFormat(displayFormat) && O2DFormatBytesPerPixel(textureFormat) != 0;
  }
  O2DDeviceCaps GetCaps() override { return m_caps; }
  IO2DRenderDevice* CreateDevice(const O2DPresentParams& params) override;
  std::string LastError() const override { return m_error; }

 private:
  ~CO2DGLAdapter() override;

  uint32_t m_refs = 1;
  bool m_videoStarted = false;
  // The probe's window and context, kept for the game window and its device.
  SDL_Window* m_probe = nullptr;
  SDL_GLContext m_probeContext = nullptr;
  bool m_probeOffered = false;
  O2DAdapterIdentifier m_identifier;
  O2DDeviceCaps m_caps;
  std::vector<O2DDisplayMode> m_modes;
  std::string m_error;
};

class CO2DGLTexture final : public CO2DMemoryTexture {
 public:
  CO2DGLTexture(CO2DGLDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                const void* pixels);
  CO2DGLDevice* Device() const { return m_device; }
  GLuint Name() const { return m_name; }

 protected:
  void FetchLevel(uint32_t level, uint8_t* out) override;
  void OnLevelUnlocked(uint32_t level) override;
  void OnFinalRelease() override;

 private:
  ~CO2DGLTexture() override { glDeleteTextures(1, &m_name); }
  void Upload(uint32_t level, bool allocate, const void* texels);

  CO2DGLDevice* m_device;
  GLuint m_name = 0;
  GLFormat m_gl{};
};

class CO2DGLDevice final : public CO2DRenderDeviceBase {
 public:
  // `context`: one already made for the window, which the device takes over.
  CO2DGLDevice(CO2DGLAdapter* adapter, uint32_t maxTextureSize, SDL_GLContext context)
      : m_adapter(adapter), m_maxTextureSize(maxTextureSize), m_context(context) {
    m_adapter->AddRef();
  }
  bool Init(const O2DPresentParams& params, std::string& error);
  void Destroy() { delete this; }

  uint32_t AddRef() override { return ++m_refs; }
  uint32_t Release() override {
    if (--m_refs > 0) return m_refs;
    delete this;
    return 0;
  }
  uint32_t TestCooperativeLevel() override;
  bool Reset(const O2DPresentParams& params) override;
  IO2DTexture* CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                             const void* pixels) override;
  void SetRenderState(uint32_t state, uint32_t value) override;
  void SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override;
  void SetTexture(uint32_t stage, IO2DTexture* texture) override;
  void SetViewport(const O2DViewport& viewport) override;
  void BeginScene() override {}
  void EndScene() override {}
  void Clear(uint32_t flags, uint32_t color, float z) override;
  void Present() override;
  void SetGammaRamp(uint32_t flags, const O2DGammaRamp& ramp) override;
  bool GetFrontBufferData(O2DFrameImage& out) override;

  // A texture's last reference went: no stage may sample it any more.
  void ForgetTexture(CO2DGLTexture* texture);
  // Carries out the calls kept so far; the rest of the frame is drawn as it comes.
  void CarryOut();

 protected:
  bool AllocateVertexBuffer() override;
  bool AllocateIndexBuffer() override;
  void IndicesUnlocked(const std::vector<uint16_t>& indices) override;
  void DrawTriangles(const std::vector<QuadVertex>& vertices, uint32_t minIndex, uint32_t numVertices,
                     uint32_t startIndex, uint32_t primitiveCount) override;

 private:
  ~CO2DGLDevice() override;
  static int WatchWindowEvents(void* self, SDL_Event* event);

  bool CreateTargets(uint32_t width, uint32_t height, uint32_t format, std::string& error);
  bool MakeTarget(uint32_t index, std::string& error);
  // Before the first drawing into the target that still holds the front frame.
  void KeepFrontAside();
  void DeleteTargets();
  void ApplyWindowMode(bool windowed);
  void ResetStates();
  void ApplyBlend();
  void ApplyCull();
  void ApplySampler(uint32_t stage);
  void BindStage(uint32_t stage);
  void ApplyTargetState();
  void WaitOutRefresh();
  void ApplyRenderState(uint32_t state);
  void ApplyStageState(uint32_t stage, uint32_t type);
  void ApplyClear(uint32_t color);
  void Draw(const QuadVertex* vertices, uint32_t used, uint32_t startIndex, uint32_t indexCount);
  // Starts keeping the calls of a frame (paced devices only).
  void BeginFrame();
  // The program of a key, built on first use; null when it cannot be built.
  struct SceneProgram;
  SceneProgram* FindSceneProgram(const O2DSceneKey& key, std::string& error);
  // The program of the stage states in force, in use with its uniforms up to date.
  bool UseSceneProgram();

  uint32_t m_refs = 1;
  CO2DGLAdapter* m_adapter;
  uint32_t m_maxTextureSize;
  SDL_Window* m_window = nullptr;
  SDL_GLContext m_context;
  bool m_watching = false;
  std::atomic<bool> m_minimized{false};
  bool m_lost = false;
  bool m_unpaced = false;
  // When the next present may return, had the last one not waited for the display.
  std::chrono::steady_clock::time_point m_nextPresent{};

  // The frames: an unpaced device draws into the two in turn. A paced one draws
  // into one, which keeps showing the front frame until Present carries the next
  // frame's calls out; drawing into it sooner (calls carried out early) first
  // copies the front frame into the other, made on that first need.
  static constexpr uint32_t kNoFront = 2;    // nothing presented yet: a cleared frame
  static constexpr uint32_t kLostFront = 3;  // no second target could be made for it
  uint32_t m_width = 0, m_height = 0, m_format = 0;
  bool m_frameAlpha = false;  // the back buffer format has destination alpha
  GLuint m_frameTextures[2] = {0, 0};
  GLuint m_frameBuffers[2] = {0, 0};
  uint32_t m_back = 0, m_front = kNoFront;

  // A scene program and the uniform values it was last given.
  struct SceneProgram {
    GLuint name = 0;
    GLint uTargetSize = -1, uTextureFactor = -1, uFogColor = -1;
    uint32_t width = 0, height = 0, factor = 0, fogColor = 0;
    bool fresh = true;
  };
  std::map<O2DSceneKey, SceneProgram> m_scenePrograms;
  SceneProgram* m_sceneProgram = nullptr;  // in use; null after Present
  GLuint m_presentProgram = 0;
  GLuint m_vertexArray = 0, m_presentVertexArray = 0;
  GLuint m_vertexBuffer = 0, m_indexBuffer = 0;
  GLuint m_samplers[kBlendStages] = {0, 0};
  GLuint m_white = 0, m_gamma = 0;
  bool m_gammaIdentity = true;  // the ramp changes no 8-bit value: Present copies

  std::array<CO2DGLTexture*, O2D_STAGE_COUNT> m_bound{};
  bool m_sceneKeyDirty = true;
  std::set<CO2DGLTexture*> m_textures;

  // A paced device keeps a frame's calls and carries them out at Present, so
  // that a frame drawing exactly what the last one drew (an idle screen) is
  // neither drawn nor presented again. A texture that changes or goes has the
  // frame carried out at once, and such a frame is always presented.
  struct FrameCommand {
    enum class Op : uint8_t { RenderState, StageState, Texture, Viewport, Clear, Draw } op;
    uint32_t a = 0, b = 0, c = 0, d = 0;
    float minZ = 0.0f, maxZ = 0.0f;
    CO2DGLTexture* texture = nullptr;
    bool operator==(const FrameCommand&) const = default;
  };
  struct Frame {
    // The states in force when the frame began.
    std::array<uint32_t, O2D_RENDERSTATE_COUNT> renderStates{};
    std::array<std::array<uint32_t, O2D_STAGESTATE_COUNT>, O2D_STAGE_COUNT> stageStates{};
    O2DViewport viewport;
    std::array<CO2DGLTexture*, O2D_STAGE_COUNT> bound{};
    std::vector<FrameCommand> commands;
    std::vector<QuadVertex> vertices;  // every draw's, one after the other
    bool operator==(const Frame&) const = default;
  };
  Frame m_frame, m_lastFrame;
  bool m_keeping = false;    // m_frame holds calls not carried out yet
  bool m_lastValid = false;  // m_lastFrame is what the front frame shows, and the window too
  std::atomic<bool> m_exposed{false};
  // The display's refresh period, asked again when the window changes display.
  std::chrono::nanoseconds m_refreshPeriod{0};
  std::atomic<bool> m_displayChanged{true};
};

// --- adapter ---------------------------------------------------------------

bool CO2DGLAdapter::Init(std::string& error, const std::function<void()>& windowMade) {
  O2D_SetWindowClass();  // read by SDL when its video starts
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("cannot start SDL video: ") + SDL_GetError();
    return false;
  }
  m_videoStarted = true;
  SetGLAttributes();

  // What the renderer is and can do is only known with a context: ask a hidden
  // window's, which is kept to become the game window.
  // The game's frame size: surfaces of some drivers (offscreen) keep their first size.
  m_probe = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 800, 600,
                             SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (m_probe == nullptr) {
    error = std::string("cannot create an OpenGL window: ") + SDL_GetError();
    return false;
  }
  if (windowMade) windowMade();
  m_probeContext = SDL_GL_CreateContext(m_probe);
  if (m_probeContext == nullptr) {
    error = std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
    return false;
  }
  PinGLDriver();
  const bool versionOk = epoxy_gl_version() >= 33;
  if (versionOk) {
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    m_identifier.Description = renderer ? renderer : "";
    O2DQueryRendererIds(m_identifier.VendorId, m_identifier.DeviceId);
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    m_caps.MaxTextureWidth = m_caps.MaxTextureHeight = uint32_t(std::max(maxSize, 1));
  } else {
    error = "OpenGL 3.3 is not available";
  }
  SDL_GL_MakeCurrent(m_probe, nullptr);
  if (!versionOk) return false;
  O2D_OfferSpareWindow(O2D_FromSDLWindow(m_probe));
  m_probeOffered = true;

  m_caps.CanRenderWindowed = true;
  m_caps.FullScreenGamma = true;  // the ramp is applied at present, in any window
  m_caps.CanCalibrateGamma = false;
  m_caps.FogVertex = true;
  m_caps.MipMap = true;
  m_caps.DotProduct3 = true;
  m_caps.AddressClamp = true;
  m_caps.AddressWrap = true;
  m_caps.MaxTextureBlendStages = kBlendStages;
  m_caps.MaxSimultaneousTextures = kBlendStages;

  static constexpr uint32_t kSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}};
  for (const auto& size : kSizes)
    for (uint32_t format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) m_modes.push_back({size[0], size[1], 0, format});
  return true;
}

CO2DGLAdapter::~CO2DGLAdapter() {
  if (m_probeContext != nullptr) SDL_GL_DeleteContext(m_probeContext);
  // Never offered or still on offer, the probe is nobody else's window.
  if (m_probe != nullptr && (!m_probeOffered || O2D_WithdrawSpareWindow(O2D_FromSDLWindow(m_probe))))
    SDL_DestroyWindow(m_probe);
  if (m_videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

IO2DRenderDevice* CO2DGLAdapter::CreateDevice(const O2DPresentParams& params) {
  m_error.clear();
  // On the probe's window the device takes over the probe's context.
  SDL_GLContext context = nullptr;
  if (params.Window != nullptr && O2D_ToSDLWindow(params.Window) == m_probe) std::swap(context, m_probeContext);
  auto* device = new CO2DGLDevice(this, m_caps.MaxTextureWidth, context);
  if (!device->Init(params, m_error)) {
    device->Destroy();
    return nullptr;
  }
  return device;
}

// --- texture ---------------------------------------------------------------

CO2DGLTexture::CO2DGLTexture(CO2DGLDevice* device, uint32_t width, uint32_t height, uint32_t levels,
                             uint32_t format, const void* pixels)
    : CO2DMemoryTexture(Unheld{}, width, height, levels, format), m_device(device) {
  // The texels live only in the OpenGL texture; a lock reads them back.
  ToGLFormat(format, m_gl);
  glGenTextures(1, &m_name);
  glActiveTexture(GL_TEXTURE0 + kUploadUnit);
  glBindTexture(GL_TEXTURE_2D, m_name);
  // Without this a texture with fewer levels than the full chain is incomplete.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(levels - 1));
  // A texture made without pixels starts zeroed, which OpenGL leaves undefined.
  std::vector<uint8_t> zeros;
  if (pixels == nullptr) zeros.assign(size_t(LevelPitch(0)) * height, 0);
  const auto* texels = static_cast<const uint8_t*>(pixels);
  for (uint32_t level = 0; level < levels; ++level) {
    Upload(level, true, texels ? texels : zeros.data());
    if (texels) texels += size_t(LevelPitch(level)) * O2DLevelSize(height, level);
  }
}

void CO2DGLTexture::FetchLevel(uint32_t level, uint8_t* out) {
  glActiveTexture(GL_TEXTURE0 + kUploadUnit);
  glBindTexture(GL_TEXTURE_2D, m_name);
  glGetTexImage(GL_TEXTURE_2D, GLint(level), m_gl.format, m_gl.type, out);
}

void CO2DGLTexture::Upload(uint32_t level, bool allocate, const void* texels) {
  const GLsizei w = GLsizei(O2DLevelSize(GetWidth(), level));
  const GLsizei h = GLsizei(O2DLevelSize(GetHeight(), level));
  glActiveTexture(GL_TEXTURE0 + kUploadUnit);
  glBindTexture(GL_TEXTURE_2D, m_name);
  if (allocate)
    glTexImage2D(GL_TEXTURE_2D, GLint(level), m_gl.internal, w, h, 0, m_gl.format, m_gl.type, texels);
  else
    glTexSubImage2D(GL_TEXTURE_2D, GLint(level), 0, 0, w, h, m_gl.format, m_gl.type, texels);
}

void CO2DGLTexture::OnLevelUnlocked(uint32_t level) {
  m_device->CarryOut();  // draws kept so far sample the old texels
  Upload(level, false, LevelData(level));
}

void CO2DGLTexture::OnFinalRelease() {
  CO2DGLDevice* device = m_device;
  device->ForgetTexture(this);
  delete this;
  device->Release();  // the reference this texture held
}

// --- device ----------------------------------------------------------------

bool CO2DGLDevice::Init(const O2DPresentParams& params, std::string& error) {
  if (params.Window == nullptr) {
    error = "no window given";
    return false;
  }
  if ((SDL_GetWindowFlags(O2D_ToSDLWindow(params.Window)) & SDL_WINDOW_OPENGL) == 0) {
    error = "the window was not created with SDL_WINDOW_OPENGL";
    return false;
  }
  if (!IsBackBufferFormat(params.BackBufferFormat)) {
    error = "unsupported back buffer format " + std::to_string(params.BackBufferFormat);
    return false;
  }
  m_window = O2D_ToSDLWindow(params.Window);
  SetGLAttributes();
  if (m_context == nullptr) m_context = SDL_GL_CreateContext(m_window);
  if (m_context == nullptr) {
    error = std::string("cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
    return false;
  }
  SDL_GL_MakeCurrent(m_window, m_context);
  if (epoxy_gl_version() < 33) {
    error = "OpenGL 3.3 is not available";
    return false;
  }
  // Presents wait for the display, unless a benchmark asks for raw speed.
  m_unpaced = O2D_PresentUnpaced();
  SDL_GL_SetSwapInterval(m_unpaced ? 0 : 1);

  // The default stage states' program: a driver that cannot build it says so now.
  const O2DStageOps modulate{D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG1, D3DTA_TEXTURE,
                             D3DTA_CURRENT};
  const O2DStageOps disable{D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_DISABLE, D3DTA_TEXTURE,
                            D3DTA_CURRENT};
  if (FindSceneProgram(O2DMakeSceneKey(modulate, disable, false), error) == nullptr) return false;

  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glDisable(GL_DITHER);
  glDisable(GL_DEPTH_TEST);
  glFrontFace(GL_CCW);

  glGenVertexArrays(1, &m_presentVertexArray);
  glGenVertexArrays(1, &m_vertexArray);
  glBindVertexArray(m_vertexArray);
  glGenBuffers(1, &m_vertexBuffer);
  glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
  glBufferData(GL_ARRAY_BUFFER, sizeof(QuadVertex) * O2D_VERTEX_BUFFER_VERTICES, nullptr, GL_STREAM_DRAW);
  constexpr GLsizei stride = sizeof(QuadVertex);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(QuadVertex, x)));
  // A8R8G8B8 is blue, green, red, alpha in memory: GL_BGRA reads it as RGBA.
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                        reinterpret_cast<void*>(offsetof(QuadVertex, diffuse)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                        reinterpret_cast<void*>(offsetof(QuadVertex, specular)));
  glEnableVertexAttribArray(3);
  glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(QuadVertex, tu1)));
  glEnableVertexAttribArray(4);
  glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<void*>(offsetof(QuadVertex, tu2)));
  glGenBuffers(1, &m_indexBuffer);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(uint16_t) * O2D_INDEX_BUFFER_INDICES, nullptr, GL_STATIC_DRAW);

  glGenSamplers(kBlendStages, m_samplers);
  for (uint32_t stage = 0; stage < kBlendStages; ++stage) glBindSampler(stage, m_samplers[stage]);

  const uint32_t white = 0xFFFFFFFFu;
  glGenTextures(1, &m_white);
  glActiveTexture(GL_TEXTURE0 + kUploadUnit);
  glBindTexture(GL_TEXTURE_2D, m_white);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);

  glGenTextures(1, &m_gamma);
  glActiveTexture(GL_TEXTURE0 + kGammaUnit);
  glBindTexture(GL_TEXTURE_2D, m_gamma);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  O2DGammaRamp linear;
  for (int i = 0; i < 256; ++i) linear.Red[i] = linear.Green[i] = linear.Blue[i] = uint16_t(i * 257);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16, 256, 1, 0, GL_RGB, GL_UNSIGNED_SHORT, nullptr);
  SetGammaRamp(D3DSGR_NO_CALIBRATION, linear);

  if (!CreateTargets(params.BackBufferWidth, params.BackBufferHeight, params.BackBufferFormat, error)) return false;
  ResetStates();

  if (GLenum glError = glGetError(); glError != GL_NO_ERROR) {
    error = "OpenGL error " + std::to_string(glError) + " while setting up the device";
    return false;
  }
  ApplyWindowMode(params.Windowed);
  m_minimized = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) != 0;
  SDL_AddEventWatch(&CO2DGLDevice::WatchWindowEvents, this);
  m_watching = true;
  BeginFrame();
  return true;
}

CO2DGLDevice::~CO2DGLDevice() {
  if (m_watching) SDL_DelEventWatch(&CO2DGLDevice::WatchWindowEvents, this);
  // Without its context (video already shut down) there is nothing left to delete.
  if (m_context != nullptr && SDL_GL_MakeCurrent(m_window, m_context) == 0) {
    DeleteTargets();
    glDeleteTextures(1, &m_white);
    glDeleteTextures(1, &m_gamma);
    glDeleteSamplers(kBlendStages, m_samplers);
    glDeleteBuffers(1, &m_vertexBuffer);
    glDeleteBuffers(1, &m_indexBuffer);
    glDeleteVertexArrays(1, &m_vertexArray);
    glDeleteVertexArrays(1, &m_presentVertexArray);
    for (const auto& [key, program] : m_scenePrograms) glDeleteProgram(program.name);
    glDeleteProgram(m_presentProgram);
    SDL_GL_MakeCurrent(m_window, nullptr);
  }
  if (m_context != nullptr) SDL_GL_DeleteContext(m_context);
  m_adapter->Release();
}

// A minimised window is the lost device; its restore asks for the reset. A
// window shown again or resized is presented again even if the frame is the same.
int CO2DGLDevice::WatchWindowEvents(void* self, SDL_Event* event) {
  auto* device = static_cast<CO2DGLDevice*>(self);
  if (event->type != SDL_WINDOWEVENT || event->window.windowID != SDL_GetWindowID(device->m_window)) return 0;
  switch (event->window.event) {
    case SDL_WINDOWEVENT_MINIMIZED: device->m_minimized = true; break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      device->m_minimized = false;
      device->m_exposed = true;
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: device->m_exposed = true; break;
    case SDL_WINDOWEVENT_DISPLAY_CHANGED: device->m_displayChanged = true; break;
    default: break;
  }
  return 0;
}

bool CO2DGLDevice::CreateTargets(uint32_t width, uint32_t height, uint32_t format, std::string& error) {
  if (width == 0 || height == 0 || width > m_maxTextureSize || height > m_maxTextureSize) {
    error = "unsupported back buffer size " + std::to_string(width) + "x" + std::to_string(height);
    return false;
  }
  DeleteTargets();
  m_width = width;
  m_height = height;
  m_format = format;
  // Only an A8R8G8B8 back buffer has destination alpha; the others keep it at 1
  // (drawing leaves it alone), so that every frame has the window's layout.
  m_frameAlpha = format == D3DFMT_A8R8G8B8;
  m_back = 0;
  m_front = kNoFront;
  for (uint32_t i = 0; i < (m_unpaced ? 2u : 1u); ++i)
    if (!MakeTarget(i, error)) return false;
  ApplyTargetState();
  return true;
}

bool CO2DGLDevice::MakeTarget(uint32_t index, std::string& error) {
  glGenTextures(1, &m_frameTextures[index]);
  glGenFramebuffers(1, &m_frameBuffers[index]);
  glActiveTexture(GL_TEXTURE0 + kFrameUnit);
  glBindTexture(GL_TEXTURE_2D, m_frameTextures[index]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, GLsizei(m_width), GLsizei(m_height), 0, GL_BGRA,
               GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
  glBindFramebuffer(GL_FRAMEBUFFER, m_frameBuffers[index]);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, m_frameTextures[index], 0);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    glDeleteFramebuffers(1, &m_frameBuffers[index]);
    glDeleteTextures(1, &m_frameTextures[index]);
    m_frameBuffers[index] = m_frameTextures[index] = 0;
    error = "the offscreen frame buffer is not complete";
    return false;
  }
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  return true;
}

void CO2DGLDevice::DeleteTargets() {
  glDeleteFramebuffers(2, m_frameBuffers);
  glDeleteTextures(2, m_frameTextures);
  m_frameBuffers[0] = m_frameBuffers[1] = m_frameTextures[0] = m_frameTextures[1] = 0;
}

void CO2DGLDevice::ApplyWindowMode(bool windowed) {
  const char* env = SDL_getenv("OSTRAK2D_WINDOWED");
  const bool fullScreen = !windowed && !(env != nullptr && std::strcmp(env, "1") == 0);
  const bool isFullScreen = (SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (fullScreen != isFullScreen) SDL_SetWindowFullscreen(m_window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

void CO2DGLDevice::ResetStates() {
  ResetCommonStates(m_width, m_height);
  m_bound.fill(nullptr);
  for (uint32_t stage = 0; stage < kBlendStages; ++stage) {
    ApplySampler(stage);
    BindStage(stage);
  }
  m_sceneKeyDirty = true;
  ApplyTargetState();
}

// Everything Present disturbs: the drawing target and its pipeline state.
void CO2DGLDevice::ApplyTargetState() {
  glBindFramebuffer(GL_FRAMEBUFFER, m_frameBuffers[m_back]);
  glViewport(0, 0, GLsizei(m_width), GLsizei(m_height));
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, m_frameAlpha ? GL_TRUE : GL_FALSE);
  glEnable(GL_SCISSOR_TEST);
  // The frame's rows run top-down, so the viewport's top-left origin needs no flip.
  glScissor(GLint(m_viewport.X), GLint(m_viewport.Y), GLsizei(m_viewport.Width), GLsizei(m_viewport.Height));
  ApplyBlend();
  ApplyCull();
  m_sceneProgram = nullptr;  // the next draw puts its program in use
  glBindVertexArray(m_vertexArray);
}

void CO2DGLDevice::ApplyBlend() {
  if (m_renderStates[D3DRS_ALPHABLENDENABLE] != 0)
    glEnable(GL_BLEND);
  else
    glDisable(GL_BLEND);
  glBlendFunc(ToGLBlend(m_renderStates[D3DRS_SRCBLEND], GL_ONE), ToGLBlend(m_renderStates[D3DRS_DESTBLEND], GL_ZERO));
}

// Vertices reach GL with y running the same way as on screen, so the screen's
// clockwise is GL's counter-clockwise (front facing).
void CO2DGLDevice::ApplyCull() {
  switch (m_renderStates[D3DRS_CULLMODE]) {
    case D3DCULL_CW:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_FRONT);
      break;
    case D3DCULL_CCW:
      glEnable(GL_CULL_FACE);
      glCullFace(GL_BACK);
      break;
    default: glDisable(GL_CULL_FACE); break;
  }
}

void CO2DGLDevice::ApplySampler(uint32_t stage) {
  const auto& s = m_stageStates[stage];
  const GLuint sampler = m_samplers[stage];
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, ToGLAddress(s[D3DTSS_ADDRESSU]));
  glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, ToGLAddress(s[D3DTSS_ADDRESSV]));
  glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, s[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
  glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, ToGLMinFilter(s[D3DTSS_MINFILTER], s[D3DTSS_MIPFILTER]));
  float border[4];
  ColorToFloats(s[D3DTSS_BORDERCOLOR], border);
  glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
}

void CO2DGLDevice::BindStage(uint32_t stage) {
  glActiveTexture(GL_TEXTURE0 + stage);
  glBindTexture(GL_TEXTURE_2D, m_bound[stage] ? m_bound[stage]->Name() : m_white);
}

CO2DGLDevice::SceneProgram* CO2DGLDevice::FindSceneProgram(const O2DSceneKey& key, std::string& error) {
  if (auto found = m_scenePrograms.find(key); found != m_scenePrograms.end()) return &found->second;
  const GLuint name = O2DBuildSceneProgram(key, error);
  if (name == 0) return nullptr;
  SceneProgram program;
  program.name = name;
  program.uTargetSize = glGetUniformLocation(name, "uTargetSize");
  program.uTextureFactor = glGetUniformLocation(name, "uTextureFactor");
  program.uFogColor = glGetUniformLocation(name, "uFogColor");
  glUseProgram(name);
  glUniform1i(glGetUniformLocation(name, "uTexture0"), 0);
  glUniform1i(glGetUniformLocation(name, "uTexture1"), 1);
  m_sceneProgram = nullptr;  // another program is in use now
  return &m_scenePrograms.emplace(key, program).first->second;
}

bool CO2DGLDevice::UseSceneProgram() {
  if (m_sceneKeyDirty || m_sceneProgram == nullptr) {
    auto ops = [this](uint32_t stage) {
      const auto& s = m_stageStates[stage];
      return O2DStageOps{s[D3DTSS_COLOROP], s[D3DTSS_COLORARG1], s[D3DTSS_COLORARG2],
                         s[D3DTSS_ALPHAOP], s[D3DTSS_ALPHAARG1], s[D3DTSS_ALPHAARG2]};
    };
    std::string error;
    SceneProgram* program =
        FindSceneProgram(O2DMakeSceneKey(ops(0), ops(1), m_renderStates[D3DRS_FOGENABLE] != 0), error);
    if (program == nullptr) return false;
    if (program != m_sceneProgram) glUseProgram(program->name);
    m_sceneProgram = program;
    m_sceneKeyDirty = false;
  }
  // Uniforms belong to each program: each gets the values in force when it is used.
  SceneProgram& p = *m_sceneProgram;
  if (p.fresh || p.width != m_width || p.height != m_height) {
    glUniform2f(p.uTargetSize, float(m_width), float(m_height));
    p.width = m_width;
    p.height = m_height;
  }
  const uint32_t factor = m_renderStates[D3DRS_TEXTUREFACTOR], fogColor = m_renderStates[D3DRS_FOGCOLOR];
  if (p.fresh || p.factor != factor) {
    float c[4];
    ColorToFloats(factor, c);
    glUniform4fv(p.uTextureFactor, 1, c);
    p.factor = factor;
  }
  if (p.fresh || p.fogColor != fogColor) {
    float c[4];
    ColorToFloats(fogColor, c);
    glUniform3fv(p.uFogColor, 1, c);
    p.fogColor = fogColor;
  }
  p.fresh = false;
  return true;
}

uint32_t CO2DGLDevice::TestCooperativeLevel() {
  if (m_minimized) {
    m_lost = true;
    return D3DERR_DEVICELOST;
  }
  return m_lost ? D3DERR_DEVICENOTRESET : D3D_OK;
}

bool CO2DGLDevice::Reset(const O2DPresentParams& params) {
  if (m_minimized || O2D_ToSDLWindow(params.Window) != m_window || !IsBackBufferFormat(params.BackBufferFormat)) return false;
  CarryOut();
  m_lastValid = false;
  m_displayChanged = true;
  if (params.BackBufferWidth != m_width || params.BackBufferHeight != m_height ||
      params.BackBufferFormat != m_format) {
    std::string error;
    if (!CreateTargets(params.BackBufferWidth, params.BackBufferHeight, params.BackBufferFormat, error)) return false;
  }
  ApplyWindowMode(params.Windowed);
  ResetStates();
  m_lost = false;
  BeginFrame();
  return true;
}

IO2DTexture* CO2DGLDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                                         const void* pixels) {
  levels = CO2DMemoryTexture::ResolveLevels(width, height, levels, format, m_maxTextureSize, m_maxTextureSize);
  if (levels == 0) return nullptr;
  CO2DGLTexture* texture = nullptr;
  try {
    texture = new CO2DGLTexture(this, width, height, levels, format, pixels);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  m_textures.insert(texture);
  AddRef();
  return texture;
}

void CO2DGLDevice::ForgetTexture(CO2DGLTexture* texture) {
  CarryOut();  // kept draws may still sample it
  m_textures.erase(texture);
  for (uint32_t stage = 0; stage < O2D_STAGE_COUNT; ++stage) {
    if (m_bound[stage] != texture) continue;
    m_bound[stage] = nullptr;
    if (stage < kBlendStages) BindStage(stage);
  }
}

// Allocation failures of GL buffers show as GL_OUT_OF_MEMORY.
static bool BufferStorage(GLenum target, GLsizeiptr size) {
  while (glGetError() != GL_NO_ERROR) {
  }
  glBufferData(target, size, nullptr, target == GL_ARRAY_BUFFER ? GL_STREAM_DRAW : GL_STATIC_DRAW);
  return glGetError() == GL_NO_ERROR;
}

bool CO2DGLDevice::AllocateVertexBuffer() {
  glBindVertexArray(m_vertexArray);
  glBindBuffer(GL_ARRAY_BUFFER, m_vertexBuffer);
  return BufferStorage(GL_ARRAY_BUFFER, sizeof(QuadVertex) * O2D_VERTEX_BUFFER_VERTICES);
}

bool CO2DGLDevice::AllocateIndexBuffer() {
  glBindVertexArray(m_vertexArray);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
  return BufferStorage(GL_ELEMENT_ARRAY_BUFFER, sizeof(uint16_t) * O2D_INDEX_BUFFER_INDICES);
}

void CO2DGLDevice::IndicesUnlocked(const std::vector<uint16_t>& indices) {
  CarryOut();  // kept draws read the old indices
  m_lastValid = false;
  glBindVertexArray(m_vertexArray);
  glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, GLsizeiptr(indices.size() * sizeof(uint16_t)), indices.data());
}

void CO2DGLDevice::SetRenderState(uint32_t state, uint32_t value) {
  if (!StoreRenderState(state, value)) return;
  if (m_keeping)
    m_frame.commands.push_back({FrameCommand::Op::RenderState, state, value});
  else
    ApplyRenderState(state);
}

void CO2DGLDevice::ApplyRenderState(uint32_t state) {
  switch (state) {
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND: ApplyBlend(); break;
    case D3DRS_CULLMODE: ApplyCull(); break;
    case D3DRS_FOGENABLE: m_sceneKeyDirty = true; break;
    default: break;
  }
}

void CO2DGLDevice::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
  if (!StoreStageState(stage, type, value)) return;
  if (m_keeping)
    m_frame.commands.push_back({FrameCommand::Op::StageState, stage, type, value});
  else
    ApplyStageState(stage, type);
}

void CO2DGLDevice::ApplyStageState(uint32_t stage, uint32_t type) {
  if (stage >= kBlendStages) return;
  switch (type) {
    case D3DTSS_COLOROP:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAOP:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2: m_sceneKeyDirty = true; break;
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_BORDERCOLOR:
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER: ApplySampler(stage); break;
    default: break;
  }
}

void CO2DGLDevice::SetTexture(uint32_t stage, IO2DTexture* texture) {
  if (stage >= O2D_STAGE_COUNT) return;
  // Only this device's own textures can be sampled here.
  auto* gl = dynamic_cast<CO2DGLTexture*>(texture);
  m_bound[stage] = (gl != nullptr && gl->Device() == this) ? gl : nullptr;
  if (m_keeping)
    m_frame.commands.push_back({FrameCommand::Op::Texture, stage, 0, 0, 0, 0, 0, m_bound[stage]});
  else if (stage < kBlendStages)
    BindStage(stage);
}

void CO2DGLDevice::SetViewport(const O2DViewport& viewport) {
  StoreViewport(viewport, m_width, m_height);
  const O2DViewport& v = m_viewport;
  if (m_keeping)
    m_frame.commands.push_back({FrameCommand::Op::Viewport, v.X, v.Y, v.Width, v.Height, v.MinZ, v.MaxZ});
  else
    glScissor(GLint(v.X), GLint(v.Y), GLsizei(v.Width), GLsizei(v.Height));
}

void CO2DGLDevice::Clear(uint32_t flags, uint32_t color, float /*z*/) {
  if ((flags & D3DCLEAR_TARGET) == 0) return;
  if (m_keeping)
    m_frame.commands.push_back({FrameCommand::Op::Clear, color});
  else
    ApplyClear(color);
}

void CO2DGLDevice::ApplyClear(uint32_t color) {
  KeepFrontAside();
  float c[4];
  ColorToFloats(color, c);
  // A frame without destination alpha is cleared whole to alpha 1: an unmasked
  // clear is a plain fill, a masked one a pass over every pixel.
  if (!m_frameAlpha) {
    c[3] = 1.0f;
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  }
  glClearColor(c[0], c[1], c[2], c[3]);
  glClear(GL_COLOR_BUFFER_BIT);
  if (!m_frameAlpha) glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

void CO2DGLDevice::DrawTriangles(const std::vector<QuadVertex>& vertices, uint32_t /*minIndex*/,
                                 uint32_t /*numVertices*/, uint32_t startIndex, uint32_t primitiveCount) {
  // Orphan the GL buffer and send only the vertices these triangles reach.
  const uint32_t indexCount = primitiveCount * 3;
  const auto first = Indices().begin() + startIndex;
  const uint32_t used = uint32_t(*std::max_element(first, first + std::ptrdiff_t(indexCount))) + 1;
  if (!m_keeping) return Draw(vertices.data(), used, startIndex, indexCount);
  m_frame.commands.push_back({FrameCommand::Op::Draw, used, startIndex, indexCount, uint32_t(m_frame.vertices.size())});
  m_frame.vertices.insert(m_frame.vertices.end(), vertices.begin(), vertices.begin() + used);
}

void CO2DGLDevice::Draw(const QuadVertex* vertices, uint32_t used, uint32_t startIndex, uint32_t indexCount) {
  KeepFrontAside();
  glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(used * sizeof(QuadVertex)), vertices, GL_STREAM_DRAW);
  // Without its program (the driver refused it) the draw shows nothing.
  if (!UseSceneProgram()) return;
  glDrawElements(GL_TRIANGLES, GLsizei(indexCount), GL_UNSIGNED_SHORT,
                 reinterpret_cast<void*>(uintptr_t(startIndex) * sizeof(uint16_t)));
}

void CO2DGLDevice::BeginFrame() {
  if (m_unpaced) return;  // benchmarks draw every frame
  m_frame.renderStates = m_renderStates;
  m_frame.stageStates = m_stageStates;
  m_frame.viewport = m_viewport;
  m_frame.bound = m_bound;
  m_frame.commands.clear();
  m_frame.vertices.clear();
  m_keeping = true;
}

void CO2DGLDevice::KeepFrontAside() {
  if (m_front != m_back) return;
  const uint32_t aside = m_back ^ 1;
  std::string error;
  if (m_frameTextures[aside] != 0 || MakeTarget(aside, error)) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_frameBuffers[m_back]);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_frameBuffers[aside]);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlitFramebuffer(0, 0, GLint(m_width), GLint(m_height), 0, 0, GLint(m_width), GLint(m_height),
                      GL_COLOR_BUFFER_BIT, GL_NEAREST);
    m_front = aside;
  } else {
    m_front = kLostFront;
  }
  ApplyTargetState();
}

void CO2DGLDevice::CarryOut() {
  if (!m_keeping) return;
  m_keeping = false;
  // Back to the states the frame began with, in GL as well, then every call in turn.
  m_renderStates = m_frame.renderStates;
  m_stageStates = m_frame.stageStates;
  m_viewport = m_frame.viewport;
  m_bound = m_frame.bound;
  for (uint32_t stage = 0; stage < kBlendStages; ++stage) {
    ApplySampler(stage);
    BindStage(stage);
  }
  m_sceneKeyDirty = true;
  ApplyTargetState();
  for (const FrameCommand& c : m_frame.commands) {
    switch (c.op) {
      case FrameCommand::Op::RenderState:
        m_renderStates[c.a] = c.b;
        ApplyRenderState(c.a);
        break;
      case FrameCommand::Op::StageState:
        m_stageStates[c.a][c.b] = c.c;
        ApplyStageState(c.a, c.b);
        break;
      case FrameCommand::Op::Texture:
        m_bound[c.a] = c.texture;
        if (c.a < kBlendStages) BindStage(c.a);
        break;
      case FrameCommand::Op::Viewport:
        m_viewport = {c.a, c.b, c.c, c.d, c.minZ, c.maxZ};
        glScissor(GLint(c.a), GLint(c.b), GLsizei(c.c), GLsizei(c.d));
        break;
      case FrameCommand::Op::Clear: ApplyClear(c.a); break;
      case FrameCommand::Op::Draw: Draw(m_frame.vertices.data() + c.d, c.a, c.b, c.c); break;
    }
  }
}

void CO2DGLDevice::Present() {
  // The size the window really has, not the one asked for: the mouse maps with it too.
  int drawableWidth = 0, drawableHeight = 0, shownWidth = 0, shownHeight = 0;
  O2D_GLDrawableSize(m_window, drawableWidth, drawableHeight);
  O2D_GetPresentedSize(O2D_FromSDLWindow(m_window), shownWidth, shownHeight);
  O2D_SetPresentedSize(O2D_FromSDLWindow(m_window), drawableWidth, drawableHeight);
  const bool exposed = m_exposed.exchange(false);
  if (m_keeping && m_lastValid && !exposed && drawableWidth == shownWidth && drawableHeight == shownHeight &&
      m_frame == m_lastFrame) {
    BeginFrame();  // the front frame and the window already show it
    WaitOutRefresh();
    return;
  }
  // A frame carried out before its end (a texture changed under it) is not all in its calls.
  m_lastValid = m_keeping;
  m_front = kNoFront;  // the frame being presented replaces it: nothing to keep aside
  CarryOut();
  std::swap(m_frame, m_lastFrame);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  const O2DLetterbox box = O2D_ComputeLetterbox(drawableWidth, drawableHeight, int(m_width), int(m_height));
  // Bars only where the frame leaves some.
  if (box.width != drawableWidth || box.height != drawableHeight) {
    glViewport(0, 0, drawableWidth, drawableHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  const int top = drawableHeight - box.y;  // the frame's first row is the window's top
  // The gamma pass's program is built when a ramp first needs it; should the driver
  // refuse it, the frame shows without the ramp.
  if (!m_gammaIdentity && m_presentProgram == 0) {
    std::string error;
    m_presentProgram = O2DBuildPresentProgram(error);
    if (m_presentProgram != 0) {
      glUseProgram(m_presentProgram);
      glUniform1i(glGetUniformLocation(m_presentProgram, "uFrame"), kFrameUnit);
      glUniform1i(glGetUniformLocation(m_presentProgram, "uGamma"), kGammaUnit);
    }
  }
  if (m_gammaIdentity || m_presentProgram == 0) {
    const bool scaled = box.width != int(m_width) || box.height != int(m_height);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_frameBuffers[m_back]);
    glBlitFramebuffer(0, 0, GLint(m_width), GLint(m_height), box.x, top, box.x + box.width, top - box.height,
                      GL_COLOR_BUFFER_BIT, scaled ? GL_LINEAR : GL_NEAREST);
    if (m_frameAlpha) {
      // The window stays opaque whatever alpha the frame has.
      glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_TRUE);
      glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
      glClear(GL_COLOR_BUFFER_BIT);
    }
  } else {
    glViewport(box.x, top - box.height, box.width, box.height);
    glUseProgram(m_presentProgram);
    glActiveTexture(GL_TEXTURE0 + kFrameUnit);
    glBindTexture(GL_TEXTURE_2D, m_frameTextures[m_back]);
    glBindVertexArray(m_presentVertexArray);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  }
  SDL_GL_SwapWindow(m_window);
  WaitOutRefresh();
  m_front = m_back;
  if (m_unpaced) m_back ^= 1;
  ApplyTargetState();
  BeginFrame();
}

// A driver that honours the swap interval returns from the swap on the display's
// beat; one that does not (offscreen, some virtual machines) would let the frame
// loop spin, so the rest of the refresh period is slept here. Late frames restart
// the beat from now instead of hurrying to catch up.
void CO2DGLDevice::WaitOutRefresh() {
  if (m_unpaced) return;
  if (m_displayChanged.exchange(false)) {
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(m_window);
    const int hz = display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0
                       ? mode.refresh_rate
                       : 60;
    m_refreshPeriod = std::chrono::nanoseconds(1'000'000'000 / hz);
  }
  const auto period = m_refreshPeriod;
  const auto now = std::chrono::steady_clock::now();
  if (now < m_nextPresent) {
    std::this_thread::sleep_until(m_nextPresent);
    m_nextPresent += period;
  } else {
    m_nextPresent = now + period;
  }
}

void CO2DGLDevice::SetGammaRamp(uint32_t /*flags*/, const O2DGammaRamp& ramp) {
  m_lastValid = false;  // the window shows the frame through the old ramp
  uint16_t texels[256 * 3];
  // The pass rounds each entry to 8 bits: a ramp giving back every value is skipped.
  m_gammaIdentity = true;
  for (int i = 0; i < 256; ++i) {
    texels[3 * i + 0] = ramp.Red[i];
    texels[3 * i + 1] = ramp.Green[i];
    texels[3 * i + 2] = ramp.Blue[i];
    for (uint16_t entry : {ramp.Red[i], ramp.Green[i], ramp.Blue[i]})
      if ((uint32_t(entry) * 255 + 32767) / 65535 != uint32_t(i)) m_gammaIdentity = false;
  }
  glActiveTexture(GL_TEXTURE0 + kGammaUnit);
  glBindTexture(GL_TEXTURE_2D, m_gamma);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 2);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 256, 1, GL_RGB, GL_UNSIGNED_SHORT, texels);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
}

bool CO2DGLDevice::GetFrontBufferData(O2DFrameImage& out) {
  out.Width = m_width;
  out.Height = m_height;
  out.Pixels.assign(size_t(m_width) * m_height, 0xFF000000u);
  if (m_front == kNoFront || m_front == kLostFront) return m_front == kNoFront;
  // Only this read decides the result, not an error some earlier call left.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
  glBindFramebuffer(GL_READ_FRAMEBUFFER, m_frameBuffers[m_front]);
  // The frame's rows already run top-down.
  glReadPixels(0, 0, GLsizei(m_width), GLsizei(m_height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, out.Pixels.data());
  glBindFramebuffer(GL_READ_FRAMEBUFFER, m_frameBuffers[m_back]);
  return glGetError() == GL_NO_ERROR;
}

}  // namespace

IO2DRenderAdapter* O2DCreateGLAdapter(std::string* error, const std::function<void()>& windowMade) {
  auto* adapter = new CO2DGLAdapter;
  std::string why;
  if (!adapter->Init(why, windowMade)) {
    adapter->Release();
    if (error) *error = why;
    return nullptr;
  }
  return adapter;
}

