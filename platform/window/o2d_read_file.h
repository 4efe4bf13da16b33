#pragma once
// A file opened once for reading at any offset (pread), so that many reads of one
// file cost no path look-up, open or close each. Reads at offsets share no file
// position, so one object serves every reader at once. Closed when destroyed.
#include <cstddef>
#include <cstdint>

class CReadFile {
 public:
  CReadFile() = default;
  ~CReadFile() { Close(); }
  CReadFile(const CReadFile&) = delete;
  CReadFile& operator=(const CReadFile&) = delete;

  // Opens a regular file; false for a missing or unreadable file and for anything
  // that is not a regular file (a folder, a pipe), which is never waited on.
  bool Open(const char* path) noexcept;
  void Close() noexcept;
  bool IsOpen() const noexcept { return m_fd >= 0; }

  // The file's size when it was opened; -1 when it is not open.
  int64_t Size() const noexcept { return m_size; }
  // Whether the file holds at least `end` bytes. The size at opening answers
  // without a system call when it is enough (a file cut short since then shows
  // in ReadAt); otherwise the file is asked again, as it may have grown.
  bool Reaches(uint64_t end) const noexcept;
  // Reads up to `size` bytes from `offset` and gives the count read, which is
  // less only at the end of the file or on a failed read: a caller that needs
  // every byte compares it, so a short read never passes for data.
  size_t ReadAt(void* buffer, size_t size, uint64_t offset) const noexcept;

 private:
  int m_fd = -1;
  int64_t m_size = -1;
};
