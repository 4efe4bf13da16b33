#include "o2d_memory_texture.h"

#include <cstring>
#include <new>

CO2DMemoryTexture::CO2DMemoryTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                                     const void* pixels)
    : m_width(width), m_height(height), m_format(format), m_levels(levels), m_locked(levels, false) {
  const auto* src = static_cast<const uint8_t*>(pixels);
  for (uint32_t level = 0; level < levels; ++level) {
    const size_t bytes = size_t(LevelPitch(level)) * O2DLevelSize(height, level);
    if (src) {
      m_levels[level].assign(src, src + bytes);
      src += bytes;
    } else {
      m_levels[level].assign(bytes, 0);
    }
  }
}

CO2DMemoryTexture::CO2DMemoryTexture(Unheld, uint32_t width, uint32_t height, uint32_t levels, uint32_t format)
    : m_width(width), m_height(height), m_format(format), m_held(false), m_levels(levels), m_locked(levels, false) {}

uint32_t CO2DMemoryTexture::AddRef() { return ++m_refs; }

uint32_t CO2DMemoryTexture::Release() {
  if (--m_refs > 0) return m_refs;
  OnFinalRelease();
  return 0;
}

uint32_t CO2DMemoryTexture::LevelPitch(uint32_t level) const {
  return O2DLevelSize(m_width, level) * O2DFormatBytesPerPixel(m_format);
}

bool CO2DMemoryTexture::LockRect(uint32_t level, O2DLockedRect& out) {
  if (level >= m_levels.size() || m_locked[level]) return false;
  if (!m_held) {
    try {
      m_levels[level].resize(size_t(LevelPitch(level)) * O2DLevelSize(m_height, level));
    } catch (const std::bad_alloc&) {
      return false;
    }
    FetchLevel(level, m_levels[level].data());
  }
  m_locked[level] = true;
  out.Bits = m_levels[level].data();
  out.Pitch = LevelPitch(level);
  return true;
}

bool CO2DMemoryTexture::UnlockRect(uint32_t level) {
  if (level >= m_levels.size() || !m_locked[level]) return false;
  m_locked[level] = false;
  OnLevelUnlocked(level);
  if (!m_held) std::vector<uint8_t>().swap(m_levels[level]);
  return true;
}

uint32_t CO2DMemoryTexture::ResolveLevels(uint32_t width, uint32_t height, uint32_t levels, uint32_t format,
                                          uint32_t maxWidth, uint32_t maxHeight) {
  if (O2DFormatBytesPerPixel(format) == 0) return 0;
  if (width == 0 || height == 0 || width > maxWidth || height > maxHeight) return 0;
  const uint32_t full = O2DFullMipCount(width, height);
  if (levels == 0) return full;
  return levels <= full ? levels : 0;
}
