#include "o2d_instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

CO2DInstanceLock::~CO2DInstanceLock() {
  if (m_fd >= 0) ::close(m_fd);
}

std::string CO2DInstanceLock::SharedLockPath(const std::string& name) {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
  if (ec) dir = "/tmp";
  return (dir / (name + "-" + std::to_string(::getuid()) + ".lock")).string();
}

std::string CO2DInstanceLock::LockPath(const std::string& name) {
  const char* dir = std::getenv("XDG_RUNTIME_DIR");
  if (dir && *dir) return (std::filesystem::path(dir) / (name + ".lock")).string();
  return SharedLockPath(name);
}

bool CO2DInstanceLock::Acquire(const std::string& name) {
  if (m_fd >= 0) return true;
  // No symbolic links: in a shared folder one could point at another user's file.
  const int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
  int fd = ::open(LockPath(name).c_str(), flags, 0600);
  // A runtime folder that cannot hold the lock file is no reason not to start.
  if (fd < 0) fd = ::open(SharedLockPath(name).c_str(), flags, 0600);
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  m_fd = fd;
  return true;
}
