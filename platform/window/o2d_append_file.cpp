#include "o2d_append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

// Hashes of the file names already reported; a few files are ever written.
std::atomic<uint32_t> g_reported[8];

uint32_t NameHash(const char* path) noexcept {
  uint32_t h = 2166136261u;
  for (; *path; ++path) h = (h ^ static_cast<unsigned char>(*path)) * 16777619u;
  return h | 1;  // never 0, the empty slot
}

// True the first time a name is given.
bool FirstReport(const char* path) noexcept {
  const uint32_t h = NameHash(path);
  for (auto& slot : g_reported) {
    uint32_t seen = 0;
    if (slot.compare_exchange_strong(seen, h) || seen == h) return seen == 0;
  }
  return false;  // the table is full: stay quiet rather than repeat
}

void WriteAll(int fd, const char* data, size_t size) noexcept {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void WriteText(int fd, const char* text) noexcept { WriteAll(fd, text, std::strlen(text)); }

}  // namespace

CAppendFile::CAppendFile(const char* path, bool stderrFallback) noexcept : m_path(path), m_fallback(stderrFallback) {
  m_fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (m_fd < 0) Failed(errno);
}

CAppendFile::~CAppendFile() {
  Flush();
  if (m_fd > STDERR_FILENO) ::close(m_fd);
}

void CAppendFile::Failed(int error) noexcept {
  if (FirstReport(m_path)) {
    // The path as the system resolves it, so that the folder is named too.
    char cwd[1024];
    WriteText(STDERR_FILENO, "Cannot write ");
    if (m_path[0] != '/' && ::getcwd(cwd, sizeof cwd)) {
      WriteText(STDERR_FILENO, cwd);
      WriteText(STDERR_FILENO, "/");
    }
    WriteText(STDERR_FILENO, m_path);
    WriteText(STDERR_FILENO, ": ");
    const char* reason = strerrordesc_np(error);
    WriteText(STDERR_FILENO, reason ? reason : "unknown error");
    WriteText(STDERR_FILENO, "\n");
  }
  if (m_fd > STDERR_FILENO) ::close(m_fd);
  m_fd = m_fallback ? STDERR_FILENO : -1;
}

void CAppendFile::Flush() noexcept {
  size_t done = 0;
  while (m_fd >= 0 && done < m_used) {
    const ssize_t n = ::write(m_fd, m_buf + done, m_used - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      // A full disk or a vanished file: the rest goes where Failed sends it.
      const bool toStderr = m_fd != STDERR_FILENO && m_fallback;
      Failed(n < 0 ? errno : ENOSPC);
      if (toStderr) WriteAll(STDERR_FILENO, m_buf + done, m_used - done);
      break;
    }
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
