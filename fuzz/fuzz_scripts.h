#pragma once
// Scripts under fuzzing: each input gets a fresh script subsystem whose Lua state
// has a budget of instructions and of memory (an endless loop or an endless table
// fails with a Lua error instead of hanging the fuzzer), and no library function
// that touches files or processes outside the scratch folder.
#include <lua.hpp>

#include <algorithm>
#include <cstdlib>

#include "costrak.h"

namespace fuzz_scripts {
inline constexpr int kHookEvery = 1000;            // instructions between budget checks
inline constexpr long kInstructionBudget = 500000;
inline constexpr size_t kMemoryBudget = 32u << 20;
inline long g_instructions = 0;
inline size_t g_memory = 0;

inline void CountHook(lua_State* L, lua_Debug*) {
  g_instructions += kHookEvery;
  // Raised again at every check, so a script that catches it still ends.
  if (g_instructions > kInstructionBudget) luaL_error(L, "fuzz: instruction budget spent");
}

inline void* BoundedAlloc(void*, void* block, size_t oldSize, size_t newSize) {
  if (newSize == 0) {
    g_memory -= std::min(oldSize, g_memory);
    std::free(block);
    return nullptr;
  }
  if (newSize > oldSize && g_memory - oldSize + newSize > kMemoryBudget) return nullptr;
  void* grown = std::realloc(block, newSize);
  if (grown) g_memory = g_memory - std::min(oldSize, g_memory) + newSize;
  return grown;
}

inline void Unset(lua_State* L, const char* library, const char* name) {
  lua_getglobal(L, library);
  if (lua_istable(L, -1)) {
    lua_pushnil(L);
    lua_setfield(L, -2, name);
  }
  lua_pop(L, 1);
}
}  // namespace fuzz_scripts

// Restarts scripts with the bounds; the state the engine made keeps Lua's own
// allocator for what it allocated before the switch, which frees it the same way.
inline void FuzzRestartScripts(COstrak& engine) {
  using namespace fuzz_scripts;
  if (engine.m_bScrReady) engine.ScrDeinit();
  g_memory = 0;
  engine.ScrInit();
  lua_State* L = engine.ScrGetLuaState();
  lua_gc(L, LUA_GCCOLLECT, 0);
  g_memory = static_cast<size_t>(lua_gc(L, LUA_GCCOUNT, 0)) * 1024 + static_cast<size_t>(lua_gc(L, LUA_GCCOUNTB, 0));
  lua_setallocf(L, &BoundedAlloc, nullptr);
  lua_sethook(L, &CountHook, LUA_MASKCOUNT, kHookEvery);
  g_instructions = 0;
  for (const char* name : {"execute", "exit", "remove", "rename", "tmpname"}) Unset(L, "os", name);
  for (const char* name : {"io", "dofile", "loadfile"}) {
    lua_pushnil(L);
    lua_setglobal(L, name);
  }
}
