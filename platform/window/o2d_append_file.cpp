#include "o2d_append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

CAppendFile::CAppendFile(const char* path) noexcept {
  m_fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

CAppendFile::~CAppendFile() {
  if (m_fd >= 0) {
    Flush();
    ::close(m_fd);
  }
}

void CAppendFile::Flush() noexcept {
  size_t done = 0;
  while (m_fd >= 0 && done < m_used) {
    ssize_t n = ::write(m_fd, m_buf + done, m_used - done);
    if (n <= 0) break;  // a full disk or a vanished file loses the line silently
    done += static_cast<size_t>(n);
  }
  m_used = 0;
}

CAppendFile& CAppendFile::Put(std::string_view text) noexcept {
  if (m_fd < 0) return *this;
  while (!text.empty()) {
    if (m_used == sizeof m_buf) Flush();
    size_t n = std::min(text.size(), sizeof m_buf - m_used);
    std::memcpy(m_buf + m_used, text.data(), n);
    m_used += n;
    text.remove_prefix(n);
  }
  return *this;
}

CAppendFile& CAppendFile::PutU(uint32_t value) noexcept {
  char digits[16];
  int n = 0;
  do {
    digits[sizeof digits - 1 - n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return Put(std::string_view(digits + sizeof digits - n, static_cast<size_t>(n)));
}

CAppendFile& CAppendFile::PutI(int32_t value) noexcept {
  if (value < 0) {
    Put("-");
    return PutU(0u - static_cast<uint32_t>(value));
  }
  return PutU(static_cast<uint32_t>(value));
}

CAppendFile& CAppendFile::EndLine() noexcept {
  Put("\n");
  Flush();
  return *this;
}
