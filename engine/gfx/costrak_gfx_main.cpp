// Graphics start and stop: the adapter and its capability report, the display
// modes, the window and the device, the item managers, and the lost-device reset.
#include <new>
#include <string>

#include "costrak.h"
#include "costrak_gfx_state.h"
#include "costrak_managers.h"
#include "o2d_backends.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_MAIN;

namespace {

const char* FormatName(uint32_t format) {
  switch (format) {
    case 0: return "D3DFMT_UNKNOWN";
    case 20: return "D3DFMT_R8G8B8";
    case 21: return "D3DFMT_A8R8G8B8";
    case 22: return "D3DFMT_X8R8G8B8";
    case 23: return "D3DFMT_R5G6B5";
    case 24: return "D3DFMT_X1R5G5B5";
    case 25: return "D3DFMT_A1R5G5B5";
    case 26: return "D3DFMT_A4R4G4B4";
    case 27: return "D3DFMT_R3G3B2";
    case 28: return "D3DFMT_A8";
    case 29: return "D3DFMT_A8R3G3B2";
    case 30: return "D3DFMT_X4R4G4B4";
    case 40: return "D3DFMT_A8P8";
    case 41: return "D3DFMT_P8";
    case 50: return "D3DFMT_L8";
    case 51: return "D3DFMT_A8L8";
    case 52: return "D3DFMT_A4L4";
    case 60: return "D3DFMT_V8U8";
    case 61: return "D3DFMT_L6V5U5";
    case 62: return "D3DFMT_X8L8V8U8";
    case 63: return "D3DFMT_Q8W8V8U8";
    case 64: return "D3DFMT_V16U16";
    case 65: return "D3DFMT_W11V11U10";
    case 70: return "D3DFMT_D16_LOCKABLE";
    case 71: return "D3DFMT_D32";
    case 73: return "D3DFMT_D15S1";
    case 75: return "D3DFMT_D24S8";
    case 77: return "D3DFMT_D24X8";
    case 79: return "D3DFMT_D24X4S4";
    case 80: return "D3DFMT_D16";
    case 100: return "D3DFMT_VERTEXDATA";
    case 101: return "D3DFMT_INDEX16";
    case 102: return "D3DFMT_INDEX32";
    default: return "Unknown format!";
  }
}

// Known adapters, rated 1 (weakest) to 5; 0 for everything else.
int32_t AdapterRating(uint32_t vendor, uint32_t device) {
  switch (vendor) {
    case 0x10DE:
      if (device < 0x28) return 1;
      if (device <= 0xFF) return 2;
      if (device <= 0x16F) return 3;
      if (device <= 0x24F) return 4;
      return 5;
    case 0x1002:
      switch (device) {
        case 0x4E48: case 0x4E44: case 0x4E45: case 0x514D: case 0x4966: case 0x514C: return 5;
        case 0x5157: case 0x5144: return 4;
        case 0x5159: return 3;
        case 0x4C4D: return 2;
        case 0x524C: return 1;
        default: return 0;
      }
    case 0x102B:
      if (device == 0x2527 || device == 0x0525) return 2;
      return device == 0x0521 ? 1 : 0;
    case 0x1039: return device == 0x6300 ? 2 : 0;
    case 0x8086: return device == 0x7800 ? 1 : 0;
    case 0x104A: return device == 0x0010 ? 4 : 0;
    case 0x121A:
      if (device == 0x0009) return 3;
      return device == 0x0005 ? 2 : 0;
    case 0x1023: return device == 0x8520 ? 1 : 0;
    default: return 0;
  }
}

std::string U(uint32_t value) { return std::to_string(value); }

void WriteModeBlock(const char* head, const DisplayModeInfo& mode) {
  COstrak::LOG_AddLine(head);
  COstrak::LOG_AddLine("          Display Mode:");
  COstrak::LOG_AddLine(std::string("               Surface format: ") + FormatName(mode.Format));
  COstrak::LOG_AddLine("                        Width: " + U(mode.Width));
  COstrak::LOG_AddLine("                       Height: " + U(mode.Height));
  COstrak::LOG_AddLine("                 Refresh Rate: " + U(mode.RefreshRate));
  COstrak::LOG_AddLine("          Texture Formats:");
  COstrak::LOG_AddLine(std::string("               TextureFormat01: ") + FormatName(mode.TextureFormat01));
  COstrak::LOG_AddLine(std::string("               TextureFormat02: ") + FormatName(mode.TextureFormat02));
  COstrak::LOG_AddLine(std::string("               TextureFormat03: ") + FormatName(mode.TextureFormat03));
  COstrak::LOG_AddLine(std::string("               TextureFormat04: ") + FormatName(mode.TextureFormat04));
}

bool IsFormat16(uint32_t format) { return format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5; }
bool IsFormat32(uint32_t format) { return format == D3DFMT_X8R8G8B8 || format == D3DFMT_A8R8G8B8; }

}  // namespace

void COstrak::GfxPreInit(int32_t width, int32_t height) {
  EHS_CP();
  LOG_AddSeparator(1);
  LOG_AddEntry("Preinitializing Graphics Subsystem...", 3);
  m_bGfxReady = 1;
  m_gfx->bGfxPreInitialized = true;
  if (m_gfx->pAdapter) {
    m_gfx->pAdapter->Release();
    m_gfx->pAdapter = nullptr;
  }
  std::string why;
  // The graphics driver loads with the window, and loads slower beside the
  // decode-ahead thread (on two cores, by several ms): that starts once the window is made.
  if (m_gfx->GfxAdapterFactory) {
    m_gfx->pAdapter = m_gfx->GfxAdapterFactory(why);
    ResStartDecodeAhead();
  } else {
    m_gfx->pAdapter = O2D_CreateRenderAdapter(&why, [this] { ResStartDecodeAhead(); });
  }
  if (!m_gfx->pAdapter) {
    // The platform's reason goes to the log before the record ends the run.
    if (!why.empty()) LOG_AddEntry(why, 5);
    EHS_RAISE(EHS_GENERAL, 0, "Cannot create Direct3D object!");
  }
  LOG_AddEntry("Direct3D object created.", 4);
  m_gfx->iScreenWidth = width;
  m_gfx->iScreenHeight = height;
  GfxWriteCapsReport(width, height);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

// Texture probe chains: a chain stops at its first supported format, and every
// success writes its slot, also over an earlier chain's choice.
void COstrak::GfxEnumerateTextureFormats(DisplayModeInfo& mode) {
  EHS_CP();
  mode.TextureFormat01 = mode.TextureFormat02 = mode.TextureFormat03 = mode.TextureFormat04 = D3DFMT_UNKNOWN;
  // Nothing can be probed against a display format that was not found.
  if (mode.Format == D3DFMT_UNKNOWN) return;
  struct Probe {
    uint32_t format;
    uint32_t DisplayModeInfo::*slot;
  };
  static constexpr Probe kChain1[] = {{D3DFMT_R5G6B5, &DisplayModeInfo::TextureFormat01},
                                      {D3DFMT_X1R5G5B5, &DisplayModeInfo::TextureFormat01},
                                      {D3DFMT_A1R5G5B5, &DisplayModeInfo::TextureFormat02},
                                      {D3DFMT_X4R4G4B4, &DisplayModeInfo::TextureFormat01},
                                      {D3DFMT_A4R4G4B4, &DisplayModeInfo::TextureFormat02}};
  static constexpr Probe kChain2[] = {{D3DFMT_A4R4G4B4, &DisplayModeInfo::TextureFormat02},
                                      {D3DFMT_A1R5G5B5, &DisplayModeInfo::TextureFormat02},
                                      {D3DFMT_A8R3G3B2, &DisplayModeInfo::TextureFormat02}};
  static constexpr Probe kChain3[] = {{D3DFMT_A8R8G8B8, &DisplayModeInfo::TextureFormat03},
                                      {D3DFMT_A4R4G4B4, &DisplayModeInfo::TextureFormat03}};
  static constexpr Probe kChain4[] = {{D3DFMT_A8R8G8B8, &DisplayModeInfo::TextureFormat04},
                                      {D3DFMT_X8R8G8B8, &DisplayModeInfo::TextureFormat04},
                                      {D3DFMT_X4R4G4B4, &DisplayModeInfo::TextureFormat03},
                                      {D3DFMT_A4R4G4B4, &DisplayModeInfo::TextureFormat02}};
  auto run = [&](const auto& chain) {
    for (const Probe& probe : chain) {
      if (m_gfx->pAdapter->CheckTextureFormat(mode.Format, probe.format)) {
        mode.*probe.slot = probe.format;
        return;
      }
    }
  };
  run(kChain1);
  run(kChain2);
  run(kChain3);
  run(kChain4);
}

void COstrak::GfxWriteCapsReport(int32_t width, int32_t height) {
  EHS_CP();
  LOG_AddEntry("Getting videoadapter capabilities...", 2);
  O2DAdapterIdentifier id;
  if (!m_gfx->pAdapter->GetIdentifier(id)) EHS_RAISE(EHS_GENERAL, 0, "Cannot get videoadapter identifier");
  m_gfx->strAdapterDesc = id.Description;
  LOG_AddLine("     Videocard: " + m_gfx->strAdapterDesc);
  LOG_AddLine("       VendorID: " + std::to_string(static_cast<int32_t>(id.VendorId)));
  LOG_AddLine("       DeviceID: " + std::to_string(static_cast<int32_t>(id.DeviceId)));
  VideoCaps& caps = m_gfx->caps;
  caps = VideoCaps{};
  caps.iRating = AdapterRating(id.VendorId, id.DeviceId);
  if (caps.iRating == 0)
    LOG_AddLine("       Rating: Unknown");
  else
    LOG_AddLine("       Rating: " + std::to_string(caps.iRating));
  LOG_AddEmptyLines(1);

  LOG_AddEntry("Enumerating videomodes...", 1);
  m_gfx->DesktopMode = m_gfx->pAdapter->GetDesktopMode();
  caps.DisplayMode3.Width = m_gfx->DesktopMode.Width;
  caps.DisplayMode3.Height = m_gfx->DesktopMode.Height;
  caps.DisplayMode3.RefreshRate = m_gfx->DesktopMode.RefreshRate;
  caps.DisplayMode3.Format = m_gfx->DesktopMode.Format;
  const uint32_t count = m_gfx->pAdapter->GetModeCount();
  for (uint32_t i = 0; i < count; ++i) {
    O2DDisplayMode mode;
    if (!m_gfx->pAdapter->EnumMode(i, mode)) continue;
    if (int64_t(mode.Width) != width || int64_t(mode.Height) != height) continue;
    DisplayModeInfo* target = nullptr;
    if (caps.DisplayMode1.Format == D3DFMT_UNKNOWN && IsFormat16(mode.Format)) target = &caps.DisplayMode1;
    if (caps.DisplayMode2.Format == D3DFMT_UNKNOWN && IsFormat32(mode.Format)) target = &caps.DisplayMode2;
    if (target) {
      target->Width = mode.Width;
      target->Height = mode.Height;
      target->RefreshRate = mode.RefreshRate;
      target->Format = mode.Format;
    }
  }
  LOG_AddEntry("Done.", 4);

  LOG_AddEntry("Enumerating texture formats...", 1);
  GfxEnumerateTextureFormats(caps.DisplayMode1);
  GfxEnumerateTextureFormats(caps.DisplayMode2);
  GfxEnumerateTextureFormats(caps.DisplayMode3);
  LOG_AddEntry("Done.", 4);
  LOG_AddEmptyLines(1);

  WriteModeBlock("     Mode1:", caps.DisplayMode1);
  LOG_AddEmptyLines(1);
  WriteModeBlock("     Mode2:", caps.DisplayMode2);
  LOG_AddEmptyLines(1);
  WriteModeBlock("     Mode3:", caps.DisplayMode3);
  LOG_AddEmptyLines(2);

  for (DisplayModeInfo* mode : {&caps.DisplayMode1, &caps.DisplayMode2, &caps.DisplayMode3})
    mode->bValid = mode->Format != 0 && mode->TextureFormat01 != 0 && mode->TextureFormat02 != 0 &&
                   mode->TextureFormat03 != 0 && mode->TextureFormat04 != 0;
  if (caps.DisplayMode1.bValid) LOG_AddLine("          Display Mode 1 is valid.");
  if (caps.DisplayMode2.bValid) LOG_AddLine("          Display Mode 2 is valid.");
  if (caps.DisplayMode3.bValid) LOG_AddLine("          Display Mode 3 is valid.");
  LOG_AddEmptyLines(2);

  const O2DDeviceCaps dev = m_gfx->pAdapter->GetCaps();
  // A window needs a desktop strictly larger than the frame, in a format without a palette.
  caps.bCanRenderWindowed = dev.CanRenderWindowed && int64_t(width) < int64_t(m_gfx->DesktopMode.Width) &&
                            int64_t(height) < int64_t(m_gfx->DesktopMode.Height) && m_gfx->DesktopMode.Format != D3DFMT_P8 &&
                            m_gfx->DesktopMode.Format != D3DFMT_A8P8;
  LOG_AddLine(caps.bCanRenderWindowed ? "          Device can render in windowed mode"
                                      : "          Device cannot render in windowed mode");
  LOG_AddEmptyLines(1);

  caps.MaxTextureWidth = dev.MaxTextureWidth;
  caps.MaxTextureHeight = dev.MaxTextureHeight;
  caps.MaxTextureBlendStages = dev.MaxTextureBlendStages;
  caps.MaxSimultaneousTextures = dev.MaxSimultaneousTextures;
  LOG_AddLine("     MaxTextureWidth         = " + U(caps.MaxTextureWidth));
  LOG_AddLine("     MaxTextureHeight        = " + U(caps.MaxTextureHeight));
  LOG_AddLine("     MaxTextureBlendStages   = " + U(caps.MaxTextureBlendStages));
  LOG_AddLine("     MaxSimultaneousTextures = " + U(caps.MaxSimultaneousTextures));
  LOG_AddEmptyLines(1);

  caps.bVertexFog = dev.FogVertex;
  caps.bMipMapping = dev.MipMap;
  caps.bDot3BumpMapping = dev.DotProduct3;
  LOG_AddLine(caps.bVertexFog ? "     Vertex Fog is available." : "     Vertex Fog is not available.");
  LOG_AddLine(caps.bMipMapping ? "     MipMapping is available." : "     MipMapping is not available.");
  LOG_AddLine(caps.bDot3BumpMapping ? "     Dot3 Bump Mapping is available."
                                    : "     Dot3 Bump Mapping is not available.");
  LOG_AddEmptyLines(1);

  caps.bClampAddressing = dev.AddressClamp;
  caps.bWrapAddressing = dev.AddressWrap;
  LOG_AddLine(caps.bClampAddressing ? "     Texture addr. mode: Clamp is available."
                                    : "     Texture addr. mode: Clamp is not available.");
  LOG_AddLine(caps.bWrapAddressing ? "     Texture addr. mode: Wrap is available."
                                   : "     Texture addr. mode: Wrap is not available.");
  LOG_AddEmptyLines(1);

  caps.bFullScreenGamma = dev.FullScreenGamma;
  caps.bGammaCalibration = dev.CanCalibrateGamma;
  LOG_AddLine(caps.bFullScreenGamma ? "     Dynamic gamma adjusting in full screen is supported."
                                    : "     Dynamic gamma adjusting in full screen is not supported.");
  LOG_AddLine(caps.bGammaCalibration ? "     Gamma calibrating is supported."
                                     : "     Gamma calibrating is not supported.");
}

void COstrak::GfxGetCaps(VideoCaps& caps) const {
  EHS_CP();
  if (!m_gfx->bGfxPreInitialized)
    EHS_RAISE(EHS_GAME, 0, "Cannot provide videocard caps - GFX system was not initialized!");
  caps = m_gfx->caps;
}

const DisplayModeInfo& COstrak::GfxModeInfo(int32_t displayMode) const {
  switch (displayMode) {
    case 1: return m_gfx->caps.DisplayMode1;
    case 2: return m_gfx->caps.DisplayMode2;
    default: return m_gfx->caps.DisplayMode3;
  }
}

void COstrak::GfxInit(int32_t displayMode, bool windowed) {
  EHS_CP();
  LOG_AddSeparator(1);
  LOG_AddEntry("Initializing Graphics Subsystem...", 3);
  if (!m_gfx->pAdapter) EHS_RAISE(EHS_GENERAL, 0, "Direct3D object was not created!");
  if (windowed) {
    if (!m_gfx->caps.bCanRenderWindowed) EHS_RAISE(EHS_GAME, 0, "Cannot switch to windowed rendering.");
    if (displayMode == 1 || displayMode == 2) EHS_RAISE(EHS_GAME, 0, "Wrong combination of display mode params.");
  }
  // Only the three modes of the capability record exist.
  if (displayMode < 1 || displayMode > 3) EHS_RAISE(EHS_GAME, 0, "Wrong combination of display mode params.");
  m_gfx->iDisplayMode = displayMode;
  m_gfx->bWindowed = windowed;
  // The texture formats are known now: textures decoded ahead are made meanwhile.
  ResMakeTexturesAhead();
  if (displayMode == 3 && !windowed) {
    m_gfx->iScreenWidth = static_cast<int32_t>(m_gfx->caps.DisplayMode3.Width);
    m_gfx->iScreenHeight = static_cast<int32_t>(m_gfx->caps.DisplayMode3.Height);
  }

  LOG_AddEmptyLines(1);
  LOG_AddEntry("Creating window...", 1);
  CreateGameWindow(m_gfx->iScreenWidth, m_gfx->iScreenHeight, windowed);
  if (!O2D_PumpEvents(*this)) RequestQuit();
  LOG_AddEntry("Done.", 4);
  LOG_AddEmptyLines(1);

  m_gfx->PresentParams = O2DPresentParams{};
  m_gfx->PresentParams.BackBufferWidth = static_cast<uint32_t>(m_gfx->iScreenWidth);
  m_gfx->PresentParams.BackBufferHeight = static_cast<uint32_t>(m_gfx->iScreenHeight);
  m_gfx->PresentParams.BackBufferFormat = GfxModeInfo(displayMode).Format;
  m_gfx->PresentParams.Windowed = windowed;
  m_gfx->PresentParams.Window = m_window.GetHandle();

  LOG_AddEmptyLines(1);
  LOG_AddEntry("Creating D3DDevice...", 1);
  m_gfx->pDevice = m_gfx->pAdapter->CreateDevice(m_gfx->PresentParams);
  if (!m_gfx->pDevice) {
    // The platform says why in words, not with a result code: the reason is
    // logged before the record (whose code is therefore 0).
    const std::string why = m_gfx->pAdapter->LastError();
    if (!why.empty()) LOG_AddEntry(why, 5);
    EHS_RAISE(EHS_GENERAL, 0, "Cannot create D3DDevice!");
  }
  LOG_AddEntry("Done.", 4);
  LOG_AddEmptyLines(1);

  if (!m_gfx->pDevice->CreateIndexBuffer()) EHS_RAISE(EHS_GENERAL, 0, "Cannot create Index Buffer!");
  BatchFillIndices();
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);

  GfxDeviceSetup();

  O2D_CREATE_MANAGER(m_gfx->pTexturesManager, "Creating Textures Manager...", "Cannot create Textures Manager!");
  O2D_CREATE_MANAGER(m_gfx->pLightsManager, "Creating Lights Manager...", "Cannot create Lights Manager!");

  O2D_CREATE_MANAGER(m_gfx->pTechniquesManager, "Creating Techniques Manager...", "Cannot create Techniques Manager!");
  O2D_CREATE_MANAGER(m_gfx->pFontsManager, "Creating Fonts Manager...", "Cannot create Fonts Manager!");

  m_gfx->bGfxInitialized = true;
}

// Run after device creation and after every reset: the device has its default
// states then, and nothing of the engine's caches is still bound.
void COstrak::GfxDeviceSetup() {
  EHS_CP();
  m_gfx->pDevice->SetRenderState(D3DRS_LIGHTING, 0);
  for (QuadVertex& v : m_gfx->quad.Vertices) v.z = v.rhw = 0.5f;
  for (int32_t& id : m_gfx->aiCurrentTexture) id = -1;
  m_gfx->iCurrentTechnique = -1;
  m_gfx->iCurrentFont = -1;
  m_gfx->afAmbientColor[0] = m_gfx->afAmbientColor[1] = m_gfx->afAmbientColor[2] = 0.0f;
  m_gfx->afAmbientColor[3] = 1.0f;
  if (!m_gfx->pDevice->CreateVertexBuffer()) EHS_RAISE(EHS_GAME, 0, "Cannot create Vertex Buffer!");
  if (!m_gfx->pDevice->SetIndices()) EHS_RAISE(EHS_GENERAL, 0, "Cannot process index buffer!");
}

void COstrak::GfxReleaseVertexBuffer() {
  EHS_CP();
  BatchUnlock();
  if (m_gfx->pDevice) {
    m_gfx->pDevice->SetStreamSource(false);
    m_gfx->pDevice->ReleaseVertexBuffer();
  }
}

void COstrak::GfxShutdown() {
  EHS_CP();
  LOG_AddSeparator(1);
  LOG_AddEntry("Deinitializing Graphics Subsystem...", 3);
  if (m_gfx->bGfxInitialized) {
    GfxReleaseVertexBuffer();
    O2D_DestroyManager(m_gfx->pTexturesManager, "Destroying Textures Manager...");
    O2D_DestroyManager(m_gfx->pLightsManager, "Destroying Lights Manager...");
    O2D_DestroyManager(m_gfx->pTechniquesManager, "Destroying Techniques Manager...");
    O2D_DestroyManager(m_gfx->pFontsManager, "Destroying Fonts Manager...");
  }
  // A start that failed half-way may have left a device or a window without
  // reaching the initialised state; they go as well.
  if (m_gfx->pDevice) {
    if (m_gfx->pDevice->Release() > 0) LOG_AddEntry("pD3Device references left!", 6);
    m_gfx->pDevice = nullptr;
  }
  if (m_window.GetHandle()) DestroyGameWindow();
  if (m_gfx->pAdapter) {
    if (m_gfx->pAdapter->Release() > 0) LOG_AddEntry("pD3D references left!", 6);
    m_gfx->pAdapter = nullptr;
  }
  m_gfx->pLockedVertices = nullptr;
  m_gfx->iQueuedQuads = 0;
  m_gfx->bGfxInitialized = false;
  m_gfx->bGfxPreInitialized = false;
  LOG_AddEntry("Done.", 3);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
  m_bGfxReady = 0;
}

bool COstrak::GfxCheckDevice() {
  EHS_CP();
  if (!m_gfx->pDevice) return false;
  const uint32_t result = m_gfx->pDevice->TestCooperativeLevel();
  if (result == D3DERR_DEVICELOST) {
    LOG_AddEntry("Device is lost and currently cannot be restored.", 4);
    return false;
  }
  if (result == D3DERR_DEVICENOTRESET) {
    LOG_AddEntry("D3DDevice is lost. Trying to reset...", 1);
    GfxReleaseVertexBuffer();
    if (!m_gfx->pDevice->Reset(m_gfx->PresentParams)) {
      LOG_AddEntry("Failed.", 5);
      return false;
    }
    LOG_AddEntry("Done.", 4);
    GfxDeviceSetup();
    return true;
  }
  return result == D3D_OK;
}

void COstrak::GetScreenSize(int32_t& width, int32_t& height) const {
  width = m_gfx->iScreenWidth;
  height = m_gfx->iScreenHeight;
}

void COstrak::GfxSetAdapterFactory(O2DRenderAdapterFactory factory) { m_gfx->GfxAdapterFactory = std::move(factory); }
IO2DRenderDevice* COstrak::GfxGetDevice() const { return m_gfx->pDevice; }
int32_t COstrak::GfxGetDisplayMode() const { return m_gfx->iDisplayMode; }
bool COstrak::GfxIsWindowed() const { return m_gfx->bWindowed; }
const VQuad& COstrak::VQuadGet() const { return m_gfx->quad; }
void COstrak::VQuadSetFog(bool on) { m_gfx->quad.bFog = on; }
bool COstrak::BatchIsLocked() const { return m_gfx->pLockedVertices != nullptr; }
int32_t COstrak::BatchGetQueued() const { return m_gfx->iQueuedQuads; }
int32_t COstrak::TechGetCurrent() const { return m_gfx->iCurrentTechnique; }
int32_t COstrak::FontGetCurrent() const { return m_gfx->iCurrentFont; }
void COstrak::LightSetMode(uint32_t mode) { m_gfx->uDynLightMode = mode; }
uint32_t COstrak::LightGetMode() const { return m_gfx->uDynLightMode; }
void COstrak::LightSetDot3(int32_t id) { m_gfx->iDot3Light = id; }
int32_t COstrak::LightGetDot3() const { return m_gfx->iDot3Light; }
