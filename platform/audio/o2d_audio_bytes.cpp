#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "o2d_audio.h"
#include "o2d_audio_source.h"

namespace {
// Music is read into memory whole; anything larger is not a piece of music.
constexpr int64_t kMaxMemoryBytes = int64_t(1) << 30;
}  // namespace

CO2DAudioBytes::~CO2DAudioBytes() {
  if (m_fd >= 0) ::close(m_fd);
}

std::unique_ptr<CO2DAudioBytes> CO2DAudioBytes::OpenFile(const std::string& path, uint64_t offset,
                                                         uint64_t length, int* error) {
  // The object is made before the file is opened: from then on it owns the
  // descriptor, and every way out closes it.
  std::unique_ptr<CO2DAudioBytes> bytes(new CO2DAudioBytes);
  bytes->m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (bytes->m_fd < 0 || ::fstat(bytes->m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *error = O2DAUDIO_ERROR_FILEOPEN;
    return nullptr;
  }
  const uint64_t fileSize = static_cast<uint64_t>(st.st_size);
  if (offset > fileSize || (length != 0 && length > fileSize - offset)) {
    *error = O2DAUDIO_ERROR_FILEOPEN;
    return nullptr;
  }
  bytes->m_base = offset;
  bytes->m_size = static_cast<int64_t>(length != 0 ? length : fileSize - offset);
  return bytes;
}

std::unique_ptr<CO2DAudioBytes> CO2DAudioBytes::FromMemory(std::vector<uint8_t> bytes) {
  std::unique_ptr<CO2DAudioBytes> b(new CO2DAudioBytes);
  b->m_size = static_cast<int64_t>(bytes.size());
  b->m_mem = std::move(bytes);
  return b;
}

int64_t CO2DAudioBytes::ReadAt(int64_t pos, void* dst, int64_t count) const {
  if (pos < 0 || count <= 0 || pos >= m_size) return 0;
  count = std::min(count, m_size - pos);
  if (m_fd < 0) {
    std::memcpy(dst, m_mem.data() + pos, static_cast<size_t>(count));
    return count;
  }
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(m_fd, static_cast<char*>(dst) + done, static_cast<size_t>(count - done),
                        static_cast<off_t>(m_base + static_cast<uint64_t>(pos + done)));
    if (n <= 0) break;
    done += n;
  }
  return done;
}

bool CO2DAudioBytes::ReadAll(std::vector<uint8_t>* out, int* error) const {
  if (m_size > kMaxMemoryBytes) {
    *error = O2DAUDIO_ERROR_MEM;
    return false;
  }
  try {
    out->resize(static_cast<size_t>(m_size));
  } catch (const std::bad_alloc&) {
    *error = O2DAUDIO_ERROR_MEM;
    return false;
  }
  if (ReadAt(0, out->data(), m_size) != m_size) {
    *error = O2DAUDIO_ERROR_FILEOPEN;
    return false;
  }
  return true;
}
