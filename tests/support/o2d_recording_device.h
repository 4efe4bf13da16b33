#pragma once
// A rendering device for tests of the graphics code: it renders nothing, holds
// textures in memory, and records, in order, the calls that change device state,
// create textures or draw, with a copy of the vertices of each draw. Its adapter is scriptable
// (identity, modes, format support, caps, failures) and the device can be told
// to report itself lost or in need of a reset. States, viewport and the buffers'
// rules are the OpenGL device's own (CO2DRenderDeviceBase).
//
// Use:
//   O2DRecordingScript script;                 // defaults: a capable adapter
//   script.Modes = {{800, 600, 60, D3DFMT_X8R8G8B8}};
//   auto* adapter = new CO2DRecordingAdapter(script);
//   IO2DRenderAdapter* asSeenByTheEngine = adapter;
//   ... the engine creates the device ...
//   CO2DRecordingDevice* device = adapter->Device();
//   for (const O2DRecDraw* draw : device->CallsOf<O2DRecDraw>()) ...
//   adapter->Release();
#include <algorithm>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "o2d_render_device_base.h"

// Recorded calls: those that change device state, create textures or draw.
struct O2DRecCreateTexture {
  uint32_t Width, Height, Levels, Format;
};
struct O2DRecSetRenderState {};
struct O2DRecSetStageState {
  uint32_t Stage, Type, Value;
};
struct O2DRecSetTexture {};
struct O2DRecSetViewport {
  O2DViewport Viewport;  // as clipped by the device
};
struct O2DRecDraw {
  uint32_t NumVertices, PrimitiveCount;
  std::vector<QuadVertex> Vertices;  // vertices MinIndex .. MinIndex + NumVertices - 1
};
struct O2DRecReset {};

using O2DRecordedCall = std::variant<O2DRecCreateTexture, O2DRecSetRenderState, O2DRecSetStageState, O2DRecSetTexture,
                                     O2DRecSetViewport, O2DRecDraw, O2DRecReset>;

// What the recording adapter reports. The defaults match the OpenGL device
// (desktop 1024x768; the five common sizes in R5G6B5 and X8R8G8B8; the seven
// texture formats; two blend stages; textures up to 2048).
// Device operations a test makes fail.
struct O2DRecordingFailures {
  bool Reset = false;
  bool CreateTexture = false;
  bool CreateVertexBuffer = false;
  bool LockVertexBuffer = false;
  bool SetStreamSource = false;
  bool CreateIndexBuffer = false;
  bool LockIndexBuffer = false;
  bool UnlockIndexBuffer = false;
  bool SetIndices = false;
  bool GetFrontBufferData = false;
};

struct O2DRecordingScript {
  O2DAdapterIdentifier Identifier{"Ostrak2D recording device", 0, 0};
  O2DDisplayMode DesktopMode{1024, 768, 60, D3DFMT_X8R8G8B8};
  std::vector<O2DDisplayMode> Modes = DefaultModes();
  // Texture formats the format probe accepts, whatever the display format.
  std::vector<uint32_t> TextureFormats = {D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,
                                          D3DFMT_X4R4G4B4, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8};
  O2DDeviceCaps Caps = DefaultCaps();
  bool FailCreateDevice = false;
  // What the devices made from the adapter start with.
  O2DRecordingFailures DeviceFailures;

  static std::vector<O2DDisplayMode> DefaultModes();
  static O2DDeviceCaps DefaultCaps();
};

class CO2DRecordingDevice;

class CO2DRecordingAdapter final : public IO2DRenderAdapter {
 public:
  explicit CO2DRecordingAdapter(O2DRecordingScript script = {});

  uint32_t AddRef() override { return ++m_refs; }
  uint32_t Release() override { return --m_refs > 0 ? m_refs : (delete this, 0u); }
  bool GetIdentifier(O2DAdapterIdentifier& out) override { return out = m_script.Identifier, true; }
  O2DDisplayMode GetDesktopMode() override { return m_script.DesktopMode; }
  uint32_t GetModeCount() override { return uint32_t(m_script.Modes.size()); }
  bool EnumMode(uint32_t index, O2DDisplayMode& out) override {
    return index < m_script.Modes.size() && (out = m_script.Modes[index], true);
  }
  bool CheckTextureFormat(uint32_t, uint32_t format) override {
    return std::ranges::find(m_script.TextureFormats, format) != m_script.TextureFormats.end();
  }
  O2DDeviceCaps GetCaps() override { return m_script.Caps; }
  IO2DRenderDevice* CreateDevice(const O2DPresentParams& params) override;
  std::string LastError() const override { return m_error; }

  // The script may be changed at any time.
  O2DRecordingScript& Script() { return m_script; }
  // The device created last, while it lives; null otherwise.
  CO2DRecordingDevice* Device() const { return m_device; }

 private:
  friend class CO2DRecordingDevice;
  ~CO2DRecordingAdapter() override = default;

  uint32_t m_refs = 1;
  O2DRecordingScript m_script;
  CO2DRecordingDevice* m_device = nullptr;
  std::string m_error;
};

class CO2DRecordingDevice final : public CO2DRenderDeviceBase {
  using Base = CO2DRenderDeviceBase;

 public:
  uint32_t AddRef() override { return ++m_refs; }
  uint32_t Release() override { return --m_refs > 0 ? m_refs : (delete this, 0u); }
  uint32_t TestCooperativeLevel() override { return m_cooperativeLevel; }
  bool Reset(const O2DPresentParams& params) override;
  IO2DTexture* CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                             const void* pixels = nullptr) override;
  // Scripted failures come first and change nothing; the rest is the base's.
  QuadVertex* LockVertexBuffer() override { return Fail.LockVertexBuffer ? nullptr : Base::LockVertexBuffer(); }
  bool SetStreamSource(bool bind) override { return !Fail.SetStreamSource && Base::SetStreamSource(bind); }
  uint16_t* LockIndexBuffer() override { return Fail.LockIndexBuffer ? nullptr : Base::LockIndexBuffer(); }
  bool UnlockIndexBuffer() override { return !Fail.UnlockIndexBuffer && Base::UnlockIndexBuffer(); }
  bool SetIndices() override { return !Fail.SetIndices && Base::SetIndices(); }
  void SetRenderState(uint32_t state, uint32_t value) override {
    m_calls.emplace_back(O2DRecSetRenderState{}), StoreRenderState(state, value);
  }
  void SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) override {
    m_calls.emplace_back(O2DRecSetStageState{stage, type, value}), StoreStageState(stage, type, value);
  }
  void SetTexture(uint32_t stage, IO2DTexture* texture) override {
    m_calls.emplace_back(O2DRecSetTexture{});
    if (stage < O2D_STAGE_COUNT) m_bound[stage] = texture;
  }
  void SetViewport(const O2DViewport& viewport) override;
  void BeginScene() override {}
  void EndScene() override {}
  void Clear(uint32_t, uint32_t, float) override {}
  void Present() override {}
  void SetGammaRamp(uint32_t, const O2DGammaRamp&) override {}
  bool GetFrontBufferData(O2DFrameImage& out) override { return !Fail.GetFrontBufferData && (out = FrontBuffer, true); }

  // --- inspection
  const std::vector<O2DRecordedCall>& Calls() const { return m_calls; }
  void ClearCalls() { m_calls.clear(); }
  template <class T>
  std::vector<const T*> CallsOf() const {
    std::vector<const T*> found;
    for (const auto& call : m_calls)
      if (const T* c = std::get_if<T>(&call)) found.push_back(c);
    return found;
  }
  // (and RenderState, StageState, Viewport, Indices, HasVertexBuffer,
  // HasStreamSource, IsVertexBufferLocked from the base)
  IO2DTexture* BoundTexture(uint32_t stage) const { return stage < O2D_STAGE_COUNT ? m_bound[stage] : nullptr; }
  uint32_t LiveTextureCount() const { return m_liveTextures; }

  // --- scripting
  // Returned by TestCooperativeLevel until a successful Reset (which a lost
  // device, D3DERR_DEVICELOST, refuses).
  void SetCooperativeLevel(uint32_t result) { m_cooperativeLevel = result; }
  // What GetFrontBufferData returns: back-buffer sized, opaque black at first.
  O2DFrameImage FrontBuffer;
  O2DRecordingFailures Fail;

 protected:
  bool AllocateVertexBuffer() override { return !Fail.CreateVertexBuffer; }
  bool AllocateIndexBuffer() override { return !Fail.CreateIndexBuffer; }
  void IndicesUnlocked(const std::vector<uint16_t>&) override {}
  void DrawTriangles(const std::vector<QuadVertex>& v, uint32_t minIndex, uint32_t numVertices, uint32_t,
                     uint32_t primitiveCount) override {
    m_calls.emplace_back(O2DRecDraw{numVertices, primitiveCount, {v.begin() + minIndex, v.begin() + minIndex + numVertices}});
  }

 private:
  friend class CO2DRecordingAdapter;
  friend class CO2DRecordingTexture;
  CO2DRecordingDevice(CO2DRecordingAdapter* adapter, const O2DPresentParams& params);
  ~CO2DRecordingDevice() override;
  void ForgetTexture(IO2DTexture* texture);

  uint32_t m_refs = 1;
  CO2DRecordingAdapter* m_adapter;
  O2DPresentParams m_params;
  uint32_t m_cooperativeLevel = D3D_OK;
  std::vector<O2DRecordedCall> m_calls;
  IO2DTexture* m_bound[O2D_STAGE_COUNT] = {};
  uint32_t m_liveTextures = 0;
};
