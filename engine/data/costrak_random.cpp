#include "costrak_random.h"

namespace {
uint32_t g_randomState = 1;
}  // namespace

uint32_t O2D_Random() {
  g_randomState = g_randomState * 214013u + 2531011u;
  return (g_randomState >> 16) & 0x7FFFu;
}

void O2D_RandomSeed(uint32_t state) { g_randomState = state; }
