#pragma once
// A texture whose levels live in system memory, as the managed pool kept them:
// the base of both devices' textures. Locks hand out this memory; a device that
// keeps its own copy (the OpenGL texture) refreshes it when a level is unlocked.
// Such a device may leave the levels unheld: a level then lives in memory only
// while it is locked, fetched from the device's copy.
#include <cstdint>
#include <vector>

#include "o2d_render_device.h"

class CO2DMemoryTexture : public IO2DTexture {
 public:
  // Levels start zeroed, or copied from `pixels` (every level, tightly packed).
  // The format must be one O2DFormatBytesPerPixel knows; levels >= 1.
  CO2DMemoryTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t format, const void* pixels);

  uint32_t AddRef() override;
  uint32_t Release() override;
  uint32_t GetWidth() const override { return m_width; }
  uint32_t GetHeight() const override { return m_height; }
  uint32_t GetFormat() const override { return m_format; }
  uint32_t GetLevelCount() const override { return uint32_t(m_levels.size()); }
  bool LockRect(uint32_t level, O2DLockedRect& out) override;
  bool UnlockRect(uint32_t level) override;

  // The level count for a texture request (levels 0 = the full chain), or 0
  // when the request cannot be met.
  static uint32_t ResolveLevels(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                                uint32_t maxWidth, uint32_t maxHeight);

  const uint8_t* LevelData(uint32_t level) const { return m_levels[level].data(); }
  uint32_t LevelPitch(uint32_t level) const;

 protected:
  // No level held until locked; FetchLevel fills it then, and it is dropped again
  // after OnLevelUnlocked.
  struct Unheld {};
  CO2DMemoryTexture(Unheld, uint32_t width, uint32_t height, uint32_t levels, uint32_t format);
  ~CO2DMemoryTexture() override = default;
  virtual void FetchLevel(uint32_t /*level*/, uint8_t* /*out*/) {}
  virtual void OnLevelUnlocked(uint32_t /*level*/) {}
  // Called when the last reference goes; the default deletes the texture.
  virtual void OnFinalRelease() { delete this; }

 private:
  uint32_t m_refs = 1;
  uint32_t m_width, m_height, m_format;
  bool m_held = true;
  std::vector<std::vector<uint8_t>> m_levels;
  std::vector<bool> m_locked;
};
