// Running out of memory while a sound file opens leaves no file descriptor open.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <new>

#include "o2d_audio_source.h"
#include "test_support.h"

namespace {
// Set, the next allocation of this thread fails as an exhausted heap would.
thread_local bool t_failNextAllocation = false;

std::ptrdiff_t OpenDescriptors() {
  return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator());
}

using AudioDescriptorTest = TempDirTest;
}  // namespace

// Plain allocations of this program, with the failure above; array and aligned
// forms keep their defaults and pair with their own deletes.
void* operator new(std::size_t size) {
  if (t_failNextAllocation) {
    t_failNextAllocation = false;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
// Not inlined: the compiler would then see free() meet a pointer from new.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }

TEST_F(AudioDescriptorTest, AFailedAllocationWhileASoundOpensClosesItsFile) {
  WriteFileBytes("a.wav", std::string(64, 'x'));
  const std::string path = "a.wav";  // made before the failure is armed
  const std::ptrdiff_t before = OpenDescriptors();
  int error = 0;
  t_failNextAllocation = true;
  EXPECT_THROW(CO2DAudioBytes::OpenFile(path, 0, 0, &error), std::bad_alloc);
  t_failNextAllocation = false;
  EXPECT_EQ(OpenDescriptors(), before);
}
