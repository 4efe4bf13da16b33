#include "costrak_res_packfile.h"

#include <cstring>

bool CO2DPackFile::Read(uint8_t* out, uint32_t size, uint32_t offset) {
  if (size > kBlock / 4) return m_file.ReadAt(out, size, offset) == size;
  if (offset < m_blockStart || uint64_t{offset} + size > m_blockStart + m_block.size()) {
    // A block from this read on, or what the pack holds of it now.
    m_block.resize(kBlock);
    m_blockStart = offset;
    m_block.resize(m_file.ReadAt(m_block.data(), kBlock, offset));
    if (m_block.size() < size) return false;
  }
  std::memcpy(out, m_block.data() + (offset - m_blockStart), size);
  return true;
}
