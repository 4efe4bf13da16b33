// The entry of every test program. Under AddressSanitizer the leak check runs
// here, after the last test, while the GL driver's worker threads sit idle. Left
// to the end of exit, it runs just after the driver's own exit handler has joined
// some of those threads, and the checker's thread-stopping pass has been seen to
// crash there now and then, failing a program whose tests all passed.
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#define O2D_LEAK_CHECK_IN_MAIN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define O2D_LEAK_CHECK_IN_MAIN 1
#endif
#endif
#ifdef O2D_LEAK_CHECK_IN_MAIN
#include <sanitizer/lsan_interface.h>
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
#ifdef O2D_LEAK_CHECK_IN_MAIN
  // Ends the program with the leak report when there is a leak; the check at
  // exit is then skipped.
  __lsan_do_leak_check();
#endif
  return result;
}
