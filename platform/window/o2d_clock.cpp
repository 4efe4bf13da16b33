#include "o2d_clock.h"

#include <chrono>

namespace {
uint32_t SystemClock() {
  using namespace std::chrono;
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
O2DClockFn g_clock = &SystemClock;
}  // namespace

uint32_t O2D_TimeGetTime() { return g_clock(); }
void O2D_SetClock(O2DClockFn fn) { g_clock = fn ? fn : &SystemClock; }
