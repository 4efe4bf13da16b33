#include "o2d_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

CO2DInstanceLock::~CO2DInstanceLock() {
  if (m_fd >= 0) ::close(m_fd);
}

namespace {
std::filesystem::path TempDir() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  return ec ? std::filesystem::path("/tmp") : dir;
}
}  // namespace

std::string CO2DInstanceLock::LockPath(const std::string& name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  std::filesystem::path base = (dir && *dir) ? std::filesystem::path(dir) : TempDir();
  return (base / (name + ".lock")).string();
}

bool CO2DInstanceLock::Acquire(const std::string& name) {
  if (m_fd >= 0) return true;
  int fd = ::open(LockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  // A runtime folder that cannot hold the lock file is no reason not to start.
  if (fd < 0) fd = ::open((TempDir() / (name + ".lock")).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  m_fd = fd;
  return true;
}
