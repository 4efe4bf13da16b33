#include "costrak_res_packfile.h"

#include <algorithm>
#include <cstring>

bool CO2DPackFile::Read(uint8_t* out, uint32_t size, uint32_t offset) {
  const uint64_t end = uint64_t{offset} + size;
  if (size > kBlock / 4) return m_file.Reaches(end) && m_file.ReadAt(out, size, offset) == size;
  if (offset < m_blockStart || end > m_blockStart + m_block.size()) {
    // Up to a block, or to the end of the pack as it was opened, but always this
    // read's bytes; the block keeps what the pack holds now.
    const uint64_t opened = static_cast<uint64_t>(std::max<int64_t>(m_file.Size(), 0));
    m_block.resize(std::max<uint64_t>(size, std::min<uint64_t>(kBlock, opened > offset ? opened - offset : 0)));
    m_blockStart = offset;
    m_block.resize(m_file.Reaches(end) ? m_file.ReadAt(m_block.data(), m_block.size(), offset) : 0);
    if (m_block.size() < size) return false;
  }
  std::memcpy(out, m_block.data() + (offset - m_blockStart), size);
  return true;
}
