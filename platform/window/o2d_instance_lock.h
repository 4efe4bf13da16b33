#pragma once
// The single-instance guard: an advisory lock on a file named after the guard in
// $XDG_RUNTIME_DIR, or in the temporary directory under a name that carries the
// user's id (that folder is shared by every user). The kernel releases it when the
// process ends, also after a crash.
#include <string>

class CO2DInstanceLock {
 public:
  CO2DInstanceLock() = default;
  ~CO2DInstanceLock();
  CO2DInstanceLock(const CO2DInstanceLock&) = delete;
  CO2DInstanceLock& operator=(const CO2DInstanceLock&) = delete;

  // False only when another process (or another guard) holds the lock of that name.
  // A lock file that cannot be made or locked is no reason not to start: the guard
  // then holds nothing and gives true.
  bool Acquire(const std::string& name);
  bool Holds() const { return m_fd >= 0; }
  static std::string LockPath(const std::string& name);
  // The fallback in the temporary directory.
  static std::string SharedLockPath(const std::string& name);

 private:
  int m_fd = -1;
};
