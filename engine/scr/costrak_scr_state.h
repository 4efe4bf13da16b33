#pragma once
// The script host's state, owned by the engine object (COstrak::ScrGetState)
// and used only by the host and the glue: the one Lua state, the parameters
// and results of calls by name, and the failure a glue function parked for the
// protected call that ran it.
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "costrak_scr_cluaval.h"

struct lua_State;

struct CScrState {
  CScrState() = default;
  CScrState(const CScrState&) = delete;
  CScrState& operator=(const CScrState&) = delete;
  ~CScrState();  // closes the Lua state unless a panic left it unusable

  bool bInitialized = false;
  lua_State* L = nullptr;
  std::vector<CLuaValue> params;
  std::vector<CLuaValue> results;
  std::string strCurrentFunction;

  // A glue function never lets an exception travel through Lua's C frames: it
  // parks what it caught here and raises a Lua error whose message is
  // parkedText. The protected call that sees that error comes back re-raises
  // the parked exception unchanged.
  std::exception_ptr parked;
  std::string parkedText;

  int iCallRef = -1;     // registry reference of the call-by-name trampoline
  bool bPanicked = false;

  void Close();
};

// Parks the exception being handled in the engine's script host (the glue's
// catch handlers call it) and returns the message for the Lua error.
const char* SCR_ParkCurrentException() noexcept;

// The state, once initialized; raises the not-initialized record otherwise.
CScrState& SCR_ReadyState(CScrState* state);

// Raises for a protected call that returned `status`, with the error value on
// top of the stack: the parked failure when the error is the one a glue function
// raised for it, else a Lua record with Lua's message. Empties the stack to base.
[[noreturn]] void SCR_RaiseFailedCall(CScrState& state, int base, int status, const char* file, int32_t line);

// The loader of SCRIPT resources: runs the script's main chunk, named by its ID.
void RESLOAD_Script(const void* data, uint32_t size, const char* id, int32_t tag, int32_t data1, int32_t data2,
                    int32_t data3);
