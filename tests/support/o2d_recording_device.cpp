#include "o2d_recording_device.h"

#include "o2d_memory_texture.h"

class CO2DRecordingTexture final : public CO2DMemoryTexture {
 public:
  CO2DRecordingTexture(CO2DRecordingDevice* device, uint32_t width, uint32_t height, uint32_t levels,
                       uint32_t format, const void* pixels)
      : CO2DMemoryTexture(width, height, levels, format, pixels), m_device(device) {}

 protected:
  void OnFinalRelease() override {
    CO2DRecordingDevice* device = m_device;
    device->ForgetTexture(this);
    delete this;
    device->Release();  // the reference this texture held
  }

 private:
  ~CO2DRecordingTexture() override = default;
  CO2DRecordingDevice* m_device;
};

// --- script and adapter -------------------------------------------------------

std::vector<O2DDisplayMode> O2DRecordingScript::DefaultModes() {
  std::vector<O2DDisplayMode> modes;
  static constexpr uint32_t kSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}};
  for (const auto& size : kSizes)
    for (uint32_t format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) modes.push_back({size[0], size[1], 60, format});
  return modes;
}

O2DDeviceCaps O2DRecordingScript::DefaultCaps() {
  O2DDeviceCaps caps;
  caps.CanRenderWindowed = caps.FullScreenGamma = caps.FogVertex = caps.MipMap = true;
  caps.DotProduct3 = caps.AddressClamp = caps.AddressWrap = true;
  caps.MaxTextureWidth = caps.MaxTextureHeight = 2048;
  caps.MaxTextureBlendStages = caps.MaxSimultaneousTextures = 2;
  return caps;
}

CO2DRecordingAdapter::CO2DRecordingAdapter(O2DRecordingScript script) : m_script(std::move(script)) {}

IO2DRenderDevice* CO2DRecordingAdapter::CreateDevice(const O2DPresentParams& params) {
  m_error.clear();
  if (m_script.FailCreateDevice) {
    m_error = "device creation refused by the script";
    return nullptr;
  }
  m_device = new CO2DRecordingDevice(this, params);
  m_device->Fail = m_script.DeviceFailures;
  return m_device;
}

// --- device -----------------------------------------------------------------

CO2DRecordingDevice::CO2DRecordingDevice(CO2DRecordingAdapter* adapter, const O2DPresentParams& params)
    : m_adapter(adapter), m_params(params) {
  m_adapter->AddRef();
  FrontBuffer.Width = params.BackBufferWidth;
  FrontBuffer.Height = params.BackBufferHeight;
  FrontBuffer.Pixels.assign(size_t(params.BackBufferWidth) * params.BackBufferHeight, 0xFF000000u);
  ResetCommonStates(params.BackBufferWidth, params.BackBufferHeight);
}

CO2DRecordingDevice::~CO2DRecordingDevice() {
  if (m_adapter->m_device == this) m_adapter->m_device = nullptr;
  m_adapter->Release();
}

bool CO2DRecordingDevice::Reset(const O2DPresentParams& params) {
  if (Fail.Reset || m_cooperativeLevel == D3DERR_DEVICELOST) return false;
  m_calls.emplace_back(O2DRecReset{});
  m_params = params;
  ResetCommonStates(m_params.BackBufferWidth, m_params.BackBufferHeight);
  for (auto& bound : m_bound) bound = nullptr;
  m_cooperativeLevel = D3D_OK;
  return true;
}

IO2DTexture* CO2DRecordingDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels,
                                                uint32_t format, const void* pixels) {
  if (Fail.CreateTexture) return nullptr;
  const O2DDeviceCaps& caps = m_adapter->m_script.Caps;
  levels = CO2DMemoryTexture::ResolveLevels(width, height, levels, format, caps.MaxTextureWidth,
                                            caps.MaxTextureHeight);
  if (levels == 0) return nullptr;
  ++m_liveTextures;
  AddRef();
  m_calls.emplace_back(O2DRecCreateTexture{width, height, levels, format});
  return new CO2DRecordingTexture(this, width, height, levels, format, pixels);
}

void CO2DRecordingDevice::ForgetTexture(IO2DTexture* texture) {
  --m_liveTextures;
  for (auto& bound : m_bound)
    if (bound == texture) bound = nullptr;
}

void CO2DRecordingDevice::SetViewport(const O2DViewport& viewport) {
  StoreViewport(viewport, m_params.BackBufferWidth, m_params.BackBufferHeight);
  m_calls.emplace_back(O2DRecSetViewport{m_viewport});
}

