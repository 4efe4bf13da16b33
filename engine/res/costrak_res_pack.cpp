#include "costrak_res_pack.h"

#include <fstream>

namespace {
bool ReadString(std::istream& in, std::string& out) {
  out.clear();
  for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
    if (c == 0) return true;
    out.push_back(static_cast<char>(c));
  }
  return false;
}

bool ReadU32(std::istream& in, uint32_t& out) {
  unsigned char b[4];
  if (!in.read(reinterpret_cast<char*>(b), 4)) return false;
  out = uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
  return true;
}

void WriteU32(std::ostream& out, uint32_t v) {
  const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
  out.write(b, 4);
}
}  // namespace

O2DPackDirectory RES_ReadPackDirectory(const std::string& path) {
  O2DPackDirectory dir;
  std::ifstream in(path, std::ios::binary);
  uint32_t count = 0;
  if (!in || !ReadU32(in, count)) return dir;
  dir.declaredCount = static_cast<int32_t>(count);
  for (int32_t i = 0; i < dir.declaredCount; ++i) {
    O2DPackEntry e;
    uint32_t f[6];
    if (!ReadString(in, e.id) || !ReadString(in, e.typeName)) break;
    bool complete = true;
    for (uint32_t& v : f) complete = complete && ReadU32(in, v);
    if (!complete) break;
    e.offset = f[0];
    e.size = f[1];
    e.tag = static_cast<int32_t>(f[2]);
    e.data1 = static_cast<int32_t>(f[3]);
    e.data2 = static_cast<int32_t>(f[4]);
    e.data3 = static_cast<int32_t>(f[5]);
    dir.entries.push_back(std::move(e));
  }
  return dir;
}

bool RES_WritePack(const std::string& path, std::vector<O2DPackEntry>& entries, const std::vector<std::string>& data) {
  if (data.size() != entries.size()) return false;  // each entry needs its bytes, and no bytes go unnamed
  uint64_t offset = 4;
  for (const O2DPackEntry& e : entries) offset += e.id.size() + 1 + e.typeName.size() + 1 + 24;
  for (size_t i = 0; i < entries.size(); ++i) {
    entries[i].offset = static_cast<uint32_t>(offset);
    entries[i].size = static_cast<uint32_t>(data[i].size());
    offset += data[i].size();
  }
  if (offset > UINT32_MAX) return false;  // offsets are 32-bit

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  WriteU32(out, static_cast<uint32_t>(entries.size()));
  for (const O2DPackEntry& e : entries) {
    out.write(e.id.c_str(), static_cast<std::streamsize>(e.id.size() + 1));
    out.write(e.typeName.c_str(), static_cast<std::streamsize>(e.typeName.size() + 1));
    for (uint32_t v : {e.offset, e.size, static_cast<uint32_t>(e.tag), static_cast<uint32_t>(e.data1),
                       static_cast<uint32_t>(e.data2), static_cast<uint32_t>(e.data3)})
      WriteU32(out, v);
  }
  for (const std::string& bytes : data) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}
