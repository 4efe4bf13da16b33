#include "o2d_read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

bool CReadFile::Open(const char* path) noexcept {
  Close();
  // Non-blocking so that opening a pipe does not wait for a writer; it has no
  // effect on reading a regular file.
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  m_size = static_cast<int64_t>(st.st_size);
  return true;
}

void CReadFile::Close() noexcept {
  if (m_fd >= 0) ::close(m_fd);
  m_fd = -1;
  m_size = -1;
}

bool CReadFile::Reaches(uint64_t end) const noexcept {
  if (m_fd < 0) return false;
  if (end <= static_cast<uint64_t>(m_size)) return true;
  struct stat st {};
  return ::fstat(m_fd, &st) == 0 && end <= static_cast<uint64_t>(st.st_size);
}

size_t CReadFile::ReadAt(void* buffer, size_t size, uint64_t offset) const noexcept {
  auto* at = static_cast<char*>(buffer);
  size_t done = 0;
  while (m_fd >= 0 && done < size) {
    if (offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) break;
    const ssize_t n = ::pread(m_fd, at + done, size - done, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // a failed read, or the end of the file
    done += static_cast<size_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return done;
}
