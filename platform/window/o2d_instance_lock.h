#pragma once
// The single-instance guard: an advisory lock on a file named after the guard in
// $XDG_RUNTIME_DIR (or the temporary directory). The kernel releases it when the
// process ends, also after a crash.
#include <string>

class CO2DInstanceLock {
 public:
  CO2DInstanceLock() = default;
  ~CO2DInstanceLock();
  CO2DInstanceLock(const CO2DInstanceLock&) = delete;
  CO2DInstanceLock& operator=(const CO2DInstanceLock&) = delete;

  // False when another process holds the lock of that name, or the lock file cannot be made.
  bool Acquire(const std::string& name);
  static std::string LockPath(const std::string& name);

 private:
  int m_fd = -1;
};
