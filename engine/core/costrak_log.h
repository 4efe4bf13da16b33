#pragma once
// The append-only writer behind "gamelog.txt" and "ehslog.txt". It opens, writes
// and closes with plain system calls and no allocation, so every line is on disk
// when the call returns and a fault handler can use it too.
#include <cstddef>
#include <cstdint>
#include <string_view>

inline constexpr const char* O2D_GAMELOG_FILE = "gamelog.txt";
inline constexpr const char* O2D_EHSLOG_FILE = "ehslog.txt";

class CAppendFile {
 public:
  explicit CAppendFile(const char* path) noexcept;
  ~CAppendFile();
  CAppendFile(const CAppendFile&) = delete;
  CAppendFile& operator=(const CAppendFile&) = delete;

  bool IsOpen() const noexcept { return m_fd >= 0; }
  CAppendFile& Put(std::string_view text) noexcept;
  CAppendFile& PutU(uint32_t value) noexcept;
  CAppendFile& PutI(int32_t value) noexcept;
  // Ends the line and hands it to the system.
  CAppendFile& EndLine() noexcept;

 private:
  void Flush() noexcept;
  int m_fd = -1;
  size_t m_used = 0;
  char m_buf[512];
};

// Prefix of a log level, or null for a level that writes nothing (7 and above).
const char* LOG_LevelPrefix(uint32_t level) noexcept;
// The 53-character separator line of a kind, or null for a kind that writes nothing.
const char* LOG_SeparatorLine(uint32_t kind) noexcept;
