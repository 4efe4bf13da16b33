#pragma once
// The append-only file writer behind the log and the error reports. It opens,
// writes and closes with plain system calls and no allocation, so it is safe in
// a fault handler.
#include <cstddef>
#include <cstdint>
#include <string_view>

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
