#pragma once
// The resource pack container, read by the engine and written by the pack tool.
// Little-endian, fields back to back: entry count (int32), then per entry the ID
// and the type name each ended by a 0 byte, offset, size (uint32), tag, data1,
// data2, data3 (int32); then the resources' bytes at their offsets.
#include <cstdint>
#include <string>
#include <vector>

struct O2DPackEntry {
  std::string id;
  std::string typeName;
  uint32_t offset = 0;
  uint32_t size = 0;
  int32_t tag = 0;
  int32_t data1 = 0;
  int32_t data2 = 0;
  int32_t data3 = 0;
};

struct O2DPackDirectory {
  int32_t declaredCount = 0;          // the count the pack states (0 if unreadable)
  std::vector<O2DPackEntry> entries;  // the entries read completely, in order
};

// Never fails: a pack that ends early yields the entries read completely.
O2DPackDirectory RES_ReadPackDirectory(const std::string& path);

// Writes entries with their bytes (data[i] for entries[i]); fills in each entry's
// offset and size. False when the file cannot be written.
bool RES_WritePack(const std::string& path, std::vector<O2DPackEntry>& entries, const std::vector<std::string>& data);
