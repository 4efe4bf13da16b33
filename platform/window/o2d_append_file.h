#pragma once
// The append-only file writer behind the log and the error reports. It opens,
// writes and closes with plain system calls and no allocation, so it is safe in
// a fault handler. A file that cannot be opened or written is said so on standard
// error, once per file name and process, with the path and the reason.
#include <cstddef>
#include <cstdint>
#include <string_view>

class CAppendFile {
 public:
  // With `stderrFallback`, what cannot go to the file goes to standard error (a
  // fatal record must leave a trace somewhere).
  explicit CAppendFile(const char* path, bool stderrFallback = false) noexcept;
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
  // Reports the failure and, with the fallback, moves to standard error.
  void Failed(int error) noexcept;
  const char* m_path;
  bool m_fallback;
  int m_fd = -1;
  size_t m_used = 0;
  char m_buf[512];
};
