#pragma once
// A resource pack opened once and shared by its records; it closes with the last
// of them. Small resources lie back to back in a pack and are mostly loaded in
// that order, so a small read fetches the block from its offset on once and the
// reads that follow come from memory.
#include <cstdint>
#include <string>
#include <vector>

#include "o2d_read_file.h"

class CO2DPackFile {
 public:
  bool Open(const std::string& path) { return m_file.Open(path.c_str()); }
  // Whether the pack holds the bytes up to `end`; asked before a buffer is made.
  bool Reaches(uint64_t end) const { return m_file.Reaches(end); }
  // Copies `size` bytes from `offset`; false when the pack does not hold them all.
  bool Read(uint8_t* out, uint32_t size, uint32_t offset);

 private:
  static constexpr uint32_t kBlock = 64 * 1024;
  CReadFile m_file;
  std::vector<uint8_t> m_block;  // the pack's bytes from m_blockStart on
  uint64_t m_blockStart = 0;
};
