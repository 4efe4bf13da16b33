#pragma once
// The rendering device the graphics code talks to. It carries exactly the
// operations the engine's 2D renderer needs from a fixed-function device:
// screen-space quads with two texture stages, blending, vertex fog, one dynamic
// vertex buffer and one static index buffer, present, gamma and a read-back of
// the presented frame.
//
// Every enumerated value crosses this interface with the Direct3D 8 number the
// engine's data and logic were written against (formats, render states, blend
// factors, texture operations and arguments, address modes, filters, fog modes,
// stage states and device results); the constants below name them.
//
// Two objects stand where the Direct3D object and its device stood:
//  - IO2DRenderAdapter exists before any device: adapter identity, display
//    modes, texture-format probes and capabilities, and device creation.
//  - IO2DRenderDevice draws. It is created by the adapter for a window.
// Implementations: the OpenGL device (o2d_gl_device.h) and, for the tests, the
// recording device (tests/support); both keep states and buffers through
// CO2DRenderDeviceBase (o2d_render_device_base.h).
//
// Adapter, device and textures are reference counted: AddRef() and Release()
// return the references left, and the object is destroyed when that reaches 0.
// Each live texture holds a reference to its device and the device holds one to
// its adapter, so a Release() that returns non-zero at shutdown means something
// was not released.
//
// Textures from image files (PNG, JPEG, bitmap) are not made here: the image
// loader decodes the file, scales it, converts it to the requested format,
// builds the box-filtered mip chain and hands the pixels to CreateTexture().
//
// Threading: one thread; the OpenGL device needs its context current on it.
#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "o2d_window_handle.h"

// ---------------------------------------------------------------------------
// Numeric values (Direct3D 8 numbering)

// Surface and texture formats (D3DFORMAT).
inline constexpr uint32_t D3DFMT_UNKNOWN = 0;
inline constexpr uint32_t D3DFMT_R8G8B8 = 20;
inline constexpr uint32_t D3DFMT_A8R8G8B8 = 21;
inline constexpr uint32_t D3DFMT_X8R8G8B8 = 22;
inline constexpr uint32_t D3DFMT_R5G6B5 = 23;
inline constexpr uint32_t D3DFMT_X1R5G5B5 = 24;
inline constexpr uint32_t D3DFMT_A1R5G5B5 = 25;
inline constexpr uint32_t D3DFMT_A4R4G4B4 = 26;
inline constexpr uint32_t D3DFMT_R3G3B2 = 27;
inline constexpr uint32_t D3DFMT_A8 = 28;
inline constexpr uint32_t D3DFMT_A8R3G3B2 = 29;
inline constexpr uint32_t D3DFMT_X4R4G4B4 = 30;
inline constexpr uint32_t D3DFMT_A8P8 = 40;
inline constexpr uint32_t D3DFMT_P8 = 41;
inline constexpr uint32_t D3DFMT_INDEX16 = 101;

// Render states (D3DRENDERSTATETYPE). The OpenGL device acts on ALPHABLENDENABLE,
// SRCBLEND, DESTBLEND, CULLMODE, FOGENABLE, FOGCOLOR and TEXTUREFACTOR; every
// other state is stored and has no effect (vertices arrive lit and transformed).
inline constexpr uint32_t D3DRS_ZENABLE = 7;
inline constexpr uint32_t D3DRS_FILLMODE = 8;
inline constexpr uint32_t D3DRS_SHADEMODE = 9;
inline constexpr uint32_t D3DRS_ZWRITEENABLE = 14;
inline constexpr uint32_t D3DRS_ALPHATESTENABLE = 15;
inline constexpr uint32_t D3DRS_LASTPIXEL = 16;
inline constexpr uint32_t D3DRS_SRCBLEND = 19;
inline constexpr uint32_t D3DRS_DESTBLEND = 20;
inline constexpr uint32_t D3DRS_CULLMODE = 22;
inline constexpr uint32_t D3DRS_ZFUNC = 23;
inline constexpr uint32_t D3DRS_ALPHAREF = 24;
inline constexpr uint32_t D3DRS_ALPHAFUNC = 25;
inline constexpr uint32_t D3DRS_DITHERENABLE = 26;
inline constexpr uint32_t D3DRS_ALPHABLENDENABLE = 27;
inline constexpr uint32_t D3DRS_FOGENABLE = 28;
inline constexpr uint32_t D3DRS_SPECULARENABLE = 29;
inline constexpr uint32_t D3DRS_FOGCOLOR = 34;
inline constexpr uint32_t D3DRS_FOGTABLEMODE = 35;
inline constexpr uint32_t D3DRS_FOGSTART = 36;  // float bits, see O2DFloatBits
inline constexpr uint32_t D3DRS_FOGEND = 37;    // float bits
inline constexpr uint32_t D3DRS_FOGDENSITY = 38;
inline constexpr uint32_t D3DRS_TEXTUREFACTOR = 60;
inline constexpr uint32_t D3DRS_CLIPPING = 136;
inline constexpr uint32_t D3DRS_LIGHTING = 137;
inline constexpr uint32_t D3DRS_AMBIENT = 139;
inline constexpr uint32_t D3DRS_FOGVERTEXMODE = 140;
inline constexpr uint32_t D3DRS_COLORVERTEX = 141;
inline constexpr uint32_t D3DRS_BLENDOP = 171;
inline constexpr uint32_t O2D_RENDERSTATE_COUNT = 256;  // states are numbered below this

// Blend factors (D3DBLEND).
inline constexpr uint32_t D3DBLEND_ZERO = 1;
inline constexpr uint32_t D3DBLEND_ONE = 2;
inline constexpr uint32_t D3DBLEND_SRCCOLOR = 3;
inline constexpr uint32_t D3DBLEND_INVSRCCOLOR = 4;
inline constexpr uint32_t D3DBLEND_SRCALPHA = 5;
inline constexpr uint32_t D3DBLEND_INVSRCALPHA = 6;
inline constexpr uint32_t D3DBLEND_DESTALPHA = 7;
inline constexpr uint32_t D3DBLEND_INVDESTALPHA = 8;
inline constexpr uint32_t D3DBLEND_DESTCOLOR = 9;
inline constexpr uint32_t D3DBLEND_INVDESTCOLOR = 10;
inline constexpr uint32_t D3DBLEND_SRCALPHASAT = 11;

// Cull modes (D3DCULL); clockwise as seen on screen (y down).
inline constexpr uint32_t D3DCULL_NONE = 1;
inline constexpr uint32_t D3DCULL_CW = 2;
inline constexpr uint32_t D3DCULL_CCW = 3;

// Fog modes (D3DFOGMODE).
inline constexpr uint32_t D3DFOG_NONE = 0;
inline constexpr uint32_t D3DFOG_EXP = 1;
inline constexpr uint32_t D3DFOG_EXP2 = 2;
inline constexpr uint32_t D3DFOG_LINEAR = 3;

// Texture stage states (D3DTEXTURESTAGESTATETYPE).
inline constexpr uint32_t D3DTSS_COLOROP = 1;
inline constexpr uint32_t D3DTSS_COLORARG1 = 2;
inline constexpr uint32_t D3DTSS_COLORARG2 = 3;
inline constexpr uint32_t D3DTSS_ALPHAOP = 4;
inline constexpr uint32_t D3DTSS_ALPHAARG1 = 5;
inline constexpr uint32_t D3DTSS_ALPHAARG2 = 6;
inline constexpr uint32_t D3DTSS_TEXCOORDINDEX = 11;
inline constexpr uint32_t D3DTSS_ADDRESSU = 13;
inline constexpr uint32_t D3DTSS_ADDRESSV = 14;
inline constexpr uint32_t D3DTSS_BORDERCOLOR = 15;
inline constexpr uint32_t D3DTSS_MAGFILTER = 16;
inline constexpr uint32_t D3DTSS_MINFILTER = 17;
inline constexpr uint32_t D3DTSS_MIPFILTER = 18;
inline constexpr uint32_t D3DTSS_MAXANISOTROPY = 21;
inline constexpr uint32_t D3DTSS_ADDRESSW = 25;
inline constexpr uint32_t D3DTSS_COLORARG0 = 26;
inline constexpr uint32_t D3DTSS_ALPHAARG0 = 27;
inline constexpr uint32_t D3DTSS_RESULTARG = 28;
inline constexpr uint32_t O2D_STAGESTATE_COUNT = 29;  // stage states are numbered below this
inline constexpr uint32_t O2D_STAGE_COUNT = 8;        // stages 0..7 are accepted; the device blends 0 and 1

// Texture operations (D3DTEXTUREOP) the OpenGL device implements; any other
// acts as SELECTARG1. Stage i always samples texture coordinate set i, and the
// argument modifiers (complement, alpha replicate) are not applied.
inline constexpr uint32_t D3DTOP_DISABLE = 1;
inline constexpr uint32_t D3DTOP_SELECTARG1 = 2;
inline constexpr uint32_t D3DTOP_SELECTARG2 = 3;
inline constexpr uint32_t D3DTOP_MODULATE = 4;
inline constexpr uint32_t D3DTOP_ADD = 7;
inline constexpr uint32_t D3DTOP_SUBTRACT = 10;
inline constexpr uint32_t D3DTOP_DOTPRODUCT3 = 24;

// Texture arguments (D3DTA_*).
inline constexpr uint32_t D3DTA_SELECTMASK = 0x0f;
inline constexpr uint32_t D3DTA_DIFFUSE = 0;
inline constexpr uint32_t D3DTA_CURRENT = 1;
inline constexpr uint32_t D3DTA_TEXTURE = 2;
inline constexpr uint32_t D3DTA_TFACTOR = 3;
inline constexpr uint32_t D3DTA_SPECULAR = 4;

// Address modes (D3DTEXTUREADDRESS).
inline constexpr uint32_t D3DTADDRESS_WRAP = 1;
inline constexpr uint32_t D3DTADDRESS_MIRROR = 2;
inline constexpr uint32_t D3DTADDRESS_CLAMP = 3;
inline constexpr uint32_t D3DTADDRESS_BORDER = 4;

// Filters (D3DTEXTUREFILTERTYPE).
inline constexpr uint32_t D3DTEXF_NONE = 0;
inline constexpr uint32_t D3DTEXF_POINT = 1;
inline constexpr uint32_t D3DTEXF_LINEAR = 2;

// Clear flags.
inline constexpr uint32_t D3DCLEAR_TARGET = 1;
inline constexpr uint32_t D3DCLEAR_ZBUFFER = 2;
inline constexpr uint32_t D3DCLEAR_STENCIL = 4;

// Gamma ramp flags.
inline constexpr uint32_t D3DSGR_NO_CALIBRATION = 0;
inline constexpr uint32_t D3DSGR_CALIBRATE = 1;

// Device results of TestCooperativeLevel().
inline constexpr uint32_t D3D_OK = 0;
inline constexpr uint32_t D3DERR_DEVICELOST = 0x88760868u;
inline constexpr uint32_t D3DERR_DEVICENOTRESET = 0x88760869u;

// Float-valued states (fog start and end) travel as the float's bits.
inline uint32_t O2DFloatBits(float f) { return std::bit_cast<uint32_t>(f); }
inline float O2DBitsFloat(uint32_t bits) { return std::bit_cast<float>(bits); }

// ---------------------------------------------------------------------------
// Data

// One vertex of a quad: 40 bytes, screen-space pixels (origin top-left, y down,
// pixel centres on integers), colours packed A8R8G8B8.
struct QuadVertex {
  float x, y, z, rhw;
  uint32_t diffuse;
  uint32_t specular;  // alpha carries the per-vertex fog factor (1 = no fog)
  float tu1, tv1;     // stage 0
  float tu2, tv2;     // stage 1
  bool operator==(const QuadVertex&) const = default;
};
static_assert(sizeof(QuadVertex) == 40);

// The batch buffers: 2000 vertices (500 quads) and 3000 16-bit indices.
inline constexpr uint32_t O2D_VERTEX_BUFFER_VERTICES = 2000;
inline constexpr uint32_t O2D_INDEX_BUFFER_INDICES = 3000;

struct O2DAdapterIdentifier {
  std::string Description;  // the renderer's name
  uint32_t VendorId = 0;    // 0 when unknown
  uint32_t DeviceId = 0;
};

struct O2DDisplayMode {
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint32_t RefreshRate = 0;  // Hz; 0 when the system does not say
  uint32_t Format = D3DFMT_UNKNOWN;
};

struct O2DDeviceCaps {
  bool CanRenderWindowed = false;
  bool FullScreenGamma = false;
  bool CanCalibrateGamma = false;
  bool FogVertex = false;
  bool MipMap = false;
  bool DotProduct3 = false;
  bool AddressClamp = false;
  bool AddressWrap = false;
  uint32_t MaxTextureWidth = 0;
  uint32_t MaxTextureHeight = 0;
  uint32_t MaxTextureBlendStages = 0;
  uint32_t MaxSimultaneousTextures = 0;
};

// What a device is created (and reset) with. The back buffer is the offscreen
// frame the engine draws into; its size is the working size.
struct O2DPresentParams {
  uint32_t BackBufferWidth = 800;
  uint32_t BackBufferHeight = 600;
  uint32_t BackBufferFormat = D3DFMT_X8R8G8B8;
  bool Windowed = false;
  O2DWindowHandle Window = nullptr;  // the OpenGL device needs it; the recording device ignores it
};

// Pixel rectangle, top-left origin. With screen-space vertices it only clips.
struct O2DViewport {
  uint32_t X = 0, Y = 0, Width = 0, Height = 0;
  float MinZ = 0.0f, MaxZ = 1.0f;
  bool operator==(const O2DViewport&) const = default;
};

struct O2DGammaRamp {
  uint16_t Red[256];
  uint16_t Green[256];
  uint16_t Blue[256];
};

struct O2DLockedRect {
  void* Bits = nullptr;
  uint32_t Pitch = 0;  // bytes per row
};

// A frame read back from the device: top row first, each pixel A8R8G8B8
// (in memory: blue, green, red, alpha).
struct O2DFrameImage {
  uint32_t Width = 0;
  uint32_t Height = 0;
  std::vector<uint32_t> Pixels;
};

// Bytes per pixel of a texture format the devices support; 0 for any other.
// Supported: R5G6B5, X1R5G5B5, A1R5G5B5, A4R4G4B4, X4R4G4B4, A8R8G8B8, X8R8G8B8.
uint32_t O2DFormatBytesPerPixel(uint32_t format);
// The side of mip level `level` of a texture side `size` (never below 1).
inline uint32_t O2DLevelSize(uint32_t size, uint32_t level) {
  return level >= 32 ? 1u : (size >> level ? size >> level : 1u);
}
// The full mip chain length for a texture of this size.
uint32_t O2DFullMipCount(uint32_t width, uint32_t height);

// The device defaults every device starts with and returns to on Reset().
uint32_t O2DDefaultRenderState(uint32_t state);
uint32_t O2DDefaultStageState(uint32_t stage, uint32_t type);

// ---------------------------------------------------------------------------
// Interfaces

class IO2DTexture {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

  // Level 0.
  virtual uint32_t GetWidth() const = 0;
  virtual uint32_t GetHeight() const = 0;
  virtual uint32_t GetFormat() const = 0;
  virtual uint32_t GetLevelCount() const = 0;

  // Gives the level's pixels, rows of O2DLevelSize(width, level) pixels in the
  // texture's format at `Pitch` bytes. The device sees the changes at unlock.
  // Fails for a level out of range or one already locked.
  virtual bool LockRect(uint32_t level, O2DLockedRect& out) = 0;
  virtual bool UnlockRect(uint32_t level) = 0;

  // Copies a whole level from rows of `pitch` bytes (0 = tightly packed).
  bool WriteLevel(uint32_t level, const void* pixels, uint32_t pitch = 0);

 protected:
  virtual ~IO2DTexture() = default;
};

class IO2DRenderDevice {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

  // D3D_OK, D3DERR_DEVICELOST (drawing is pointless now; try again later) or
  // D3DERR_DEVICENOTRESET (call Reset). The OpenGL device reports a minimised
  // window as lost and its restore as needing a reset.
  virtual uint32_t TestCooperativeLevel() = 0;
  // Returns every render state, stage state, binding and the viewport to the
  // defaults, ends a vertex-buffer lock and makes the device usable again.
  // Textures and index data survive.
  virtual bool Reset(const O2DPresentParams& params) = 0;

  // A texture of `levels` mip levels (0 = the full chain) in a supported
  // format. `pixels`, when given, holds every level one after the other, each
  // tightly packed; otherwise the levels start zeroed. Null on failure
  // (unsupported format, size 0 or above MaxTextureWidth/Height).
  virtual IO2DTexture* CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                                     const void* pixels = nullptr) = 0;

  // The dynamic vertex buffer of O2D_VERTEX_BUFFER_VERTICES vertices exists
  // from device creation; the engine releases it before a reset and creates it
  // again afterwards. Each lock discards the previous contents. Lock gives null
  // while the buffer is locked or released.
  virtual bool CreateVertexBuffer() = 0;
  virtual void ReleaseVertexBuffer() = 0;
  virtual QuadVertex* LockVertexBuffer() = 0;
  virtual bool UnlockVertexBuffer() = 0;
  // Makes the vertex buffer the stream the draws read (stride 40), or none with
  // false; fails while there is no vertex buffer.
  virtual bool SetStreamSource(bool bind) = 0;

  // The static index buffer: created once, filled through a lock of all its
  // O2D_INDEX_BUFFER_INDICES entries; the unlock hands them to the device and
  // fails when one points past the vertex buffer.
  virtual bool CreateIndexBuffer() = 0;
  virtual uint16_t* LockIndexBuffer() = 0;
  virtual bool UnlockIndexBuffer() = 0;
  // Makes the index buffer the one the draws read; fails while there is none.
  virtual bool SetIndices() = 0;
  // Creates, fills (the first `count` entries, the rest 0) and binds the index
  // buffer in one go.
  bool UploadIndices(const uint16_t* indices, uint32_t count);

  virtual void SetRenderState(uint32_t state, uint32_t value) = 0;
  virtual void SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) = 0;
  // Null unbinds; an unbound stage samples opaque white. The device does not
  // keep the texture alive: releasing a bound texture unbinds it.
  virtual void SetTexture(uint32_t stage, IO2DTexture* texture) = 0;
  // Clipped to the back buffer. Clears and draws touch only the viewport.
  virtual void SetViewport(const O2DViewport& viewport) = 0;

  virtual void BeginScene() = 0;
  virtual void EndScene() = 0;
  // `color` A8R8G8B8. Only the target is cleared: there is no depth buffer.
  virtual void Clear(uint32_t flags, uint32_t color, float z) = 0;
  // Triangles from the vertex buffer, three indices each from `startIndex`;
  // `minIndex` and `numVertices` bound the vertices used. Fails while the
  // vertex buffer is locked, without a stream source or indices, or when the
  // ranges exceed the buffers.
  virtual bool DrawIndexedTriangleList(uint32_t minIndex, uint32_t numVertices, uint32_t startIndex,
                                       uint32_t primitiveCount) = 0;
  // Shows the back buffer; it becomes the front buffer that GetFrontBufferData
  // reads. The back buffer's contents are undefined afterwards.
  virtual void Present() = 0;
  // Applied to what is shown, not to the frame that is read back.
  virtual void SetGammaRamp(uint32_t flags, const O2DGammaRamp& ramp) = 0;
  virtual bool GetFrontBufferData(O2DFrameImage& out) = 0;

 protected:
  virtual ~IO2DRenderDevice() = default;
};

class IO2DRenderAdapter {
 public:
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

  virtual bool GetIdentifier(O2DAdapterIdentifier& out) = 0;
  virtual O2DDisplayMode GetDesktopMode() = 0;
  virtual uint32_t GetModeCount() = 0;
  virtual bool EnumMode(uint32_t index, O2DDisplayMode& out) = 0;
  // Whether textures of `textureFormat` can be used while the display runs in
  // `displayFormat`.
  virtual bool CheckTextureFormat(uint32_t displayFormat, uint32_t textureFormat) = 0;
  virtual O2DDeviceCaps GetCaps() = 0;

  // Null on failure; LastError() then says why.
  virtual IO2DRenderDevice* CreateDevice(const O2DPresentParams& params) = 0;
  virtual std::string LastError() const = 0;

 protected:
  virtual ~IO2DRenderAdapter() = default;
};
