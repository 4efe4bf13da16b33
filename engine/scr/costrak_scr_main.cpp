// The script host: one Lua 5.1 state with the base (and coroutine), math, io
// and os libraries and the script API, owned by the engine object as CScrState.
// Starts after resources, input and sound (scripts call all of them), stops
// after resources. Lua is C code that unwinds with longjmp, so no C++
// exception may cross its frames and no Lua error may skip a C++ destructor:
// every call into Lua is protected, glue functions park what they catch, and
// the protected call that comes back with the error re-raises it here.
#include <lua.hpp>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "costrak.h"
#include "costrak_glue.h"
#include "costrak_scr_state.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SCR_MAIN;

// Type ids in messages are the interpreter's own codes; they must stay these.
static_assert(LUA_TNIL == 0 && LUA_TBOOLEAN == 1 && LUA_TLIGHTUSERDATA == 2 && LUA_TNUMBER == 3 &&
              LUA_TSTRING == 4 && LUA_TTABLE == 5 && LUA_TFUNCTION == 6 && LUA_TUSERDATA == 7 &&
              LUA_TTHREAD == 8);

int SCR_CallTrampoline(lua_State* L);  // costrak_scr_func.cpp

namespace {

CScrState* HostState() {
  COstrak* engine = O2D_GetEngine();
  return engine ? engine->ScrGetState() : nullptr;
}

// Run by lua_cpcall, so an allocation failure is an error status, not a panic.
int OpenLibraries(lua_State* L) {
  // 5.1's openers must be called as Lua functions (io needs its own environment);
  // base brings coroutine; io no longer brings os, so os follows it directly.
  const lua_CFunction openers[] = {luaopen_base, luaopen_math, luaopen_io, luaopen_os};
  for (lua_CFunction open : openers) {
    lua_pushcfunction(L, open);
    lua_call(L, 0, 0);
  }
  lua_pushcfunction(L, &SCR_CallTrampoline);
  *static_cast<int*>(lua_touserdata(L, 1)) = luaL_ref(L, LUA_REGISTRYINDEX);
  return 0;
}

struct RegisterJob {
  const O2DGlueEntry* entries;
  size_t count;
};

int RegisterEntries(lua_State* L) {
  const RegisterJob* job = static_cast<const RegisterJob*>(lua_touserdata(L, 1));
  for (size_t i = 0; i < job->count; ++i) {
    lua_pushstring(L, job->entries[i].name);
    lua_pushcfunction(L, job->entries[i].fn);
    lua_settable(L, LUA_GLOBALSINDEX);
  }
  return 0;
}

// Everything runs protected, so this is reached only by a fault of the host
// itself. It must not return (Lua would then call exit) nor unwind through Lua:
// the run ends here as any fatal error does, with the state left unclosed.
[[noreturn]] void EndOnPanic() {
  static bool s_bEnding = false;
  if (s_bEnding) std::_Exit(1);
  s_bEnding = true;
  if (CScrState* state = HostState()) state->bPanicked = true;
  try {
    EHS_RAISE(EHS_GAME, 0, "Lua is on panic! Error source is unknown.");
  } catch (...) {
    EHS_ReportFatal(std::current_exception());
  }
  if (COstrak* engine = O2D_GetEngine()) {
    engine->SetTerminatedByFatalError();
    engine->Cleanup();
  }
  std::_Exit(1);
}

int OnPanic(lua_State*) { EndOnPanic(); }

}  // namespace

CScrState& SCR_ReadyState(CScrState* state) {
  if (!state || !state->bInitialized || !state->L)
    EHS_RAISE(EHS_GENERAL, 0, "Internal error - scripts subsystem was not initialized!");
  return *state;
}

// --- the state ----------------------------------------------------------------

void CScrState::Close() {
  // After a panic the state may be half-way through an error: leave it to the OS.
  if (L && !bPanicked) lua_close(L);
  L = nullptr;
  iCallRef = -1;
  params.clear();
  results.clear();
  parked = nullptr;
  parkedText.clear();
}

CScrState::~CScrState() { Close(); }

// --- error hand-over between glue and host --------------------------------------

const char* SCR_ParkCurrentException() noexcept {
  static const char* const kUnknown = "EXCEPTION OF UNKNOWN TYPE!";
  CScrState* state = HostState();
  if (!state) return kUnknown;
  state->parked = std::current_exception();
  try {
    try {
      throw;
    } catch (const CEHSException& e) {
      state->parkedText = e.Desc;
    } catch (const CEHSTextError& e) {
      state->parkedText = e.Text;
    } catch (const std::exception& e) {
      state->parkedText = e.what();
    } catch (...) {
      state->parkedText = kUnknown;
    }
  } catch (...) {
    state->parkedText.clear();  // out of memory for the text: the record itself is parked
  }
  return state->parkedText.c_str();
}

// The error value of a failed protected call, as text, without converting it in
// place (that would allocate outside protection).
static std::string LuaErrorText(lua_State* L) {
  switch (lua_type(L, -1)) {
    case LUA_TSTRING: {
      size_t len = 0;
      const char* text = lua_tolstring(L, -1, &len);
      return std::string(text, len);
    }
    case LUA_TNUMBER: {
      char text[64];
      std::snprintf(text, sizeof text, LUA_NUMBER_FMT, lua_tonumber(L, -1));
      return text;
    }
    default:
      return std::string("(error object is a ") + lua_typename(L, lua_type(L, -1)) + " value)";
  }
}

void SCR_RaiseFailedCall(CScrState& state, int base, int status, const char* file, int32_t line) {
  lua_State* L = state.L;
  std::exception_ptr parked = std::move(state.parked);
  state.parked = nullptr;
  // The error that a glue function raised for its parked failure carries the
  // parked text exactly; anything else was made by Lua (or by the script).
  if (parked && lua_type(L, -1) == LUA_TSTRING && LuaErrorText(L) == state.parkedText) {
    lua_settop(L, base);
    std::rethrow_exception(parked);
  }
  std::string message = LuaErrorText(L);
  lua_settop(L, base);
  EHS_Raise(EHS_LUA, static_cast<uint32_t>(status), std::move(message), file, line);
}

// --- glue guard ---------------------------------------------------------------------

namespace {
// Returns the body's result count, or -1 with the failure parked and `message`
// pointing at the text of the Lua error to raise for it.
int RunGuarded(lua_State* L, const char* glueName, O2DGlueBody body, const char*& message) noexcept {
  try {
    return body(L, glueName);
  } catch (...) {
    message = SCR_ParkCurrentException();
  }
  return -1;
}
}  // namespace

int O2DGlue_Run(lua_State* L, const char* glueName, O2DGlueBody body) {
  const char* message = nullptr;
  const int results = RunGuarded(L, glueName, body, message);
  if (results >= 0) return results;
  // No C++ object lives in this frame, and the guarded frames have returned.
  lua_pushstring(L, message);
  return lua_error(L);
}

// --- glue arguments ------------------------------------------------------------------

O2DGlueArgs::O2DGlueArgs(lua_State* L, const char* glueName, const char* required, const char* optional)
    : m_L(L), m_iCount(lua_gettop(L)) {
  // An absent argument has no type (LUA_TNONE) and fits no kind.
  auto fits = [L](int pos, char kind) {
    const int type = lua_type(L, pos);
    switch (kind) {
      case 'n': return type == LUA_TNUMBER;
      case 'b': return type == LUA_TBOOLEAN;
      case 's': return type == LUA_TSTRING;
      case 'i': return type == LUA_TNUMBER || type == LUA_TSTRING;
      default: return false;
    }
  };
  auto fail = [glueName](int pos) {
    EHS_RAISE(EHS_GAME, 0,
              std::string("Error in glue function: ") + glueName + "." + "Invalid argument type. Index = " +
                  std::to_string(pos));
  };
  int pos = 1;
  for (; required[pos - 1]; ++pos)
    if (!fits(pos, required[pos - 1])) fail(pos);
  for (const char* kind = optional; *kind; ++kind, ++pos)
    if (m_iCount == pos && !fits(pos, *kind)) fail(pos);
}

float O2DGlueArgs::F(int pos) const { return O2DGlue_ToFloat(lua_tonumber(m_L, pos)); }
int32_t O2DGlueArgs::I(int pos) const { return O2DGlue_ToInt(lua_tonumber(m_L, pos)); }
bool O2DGlueArgs::B(int pos) const { return lua_toboolean(m_L, pos) != 0; }
const char* O2DGlueArgs::S(int pos) const { return lua_tostring(m_L, pos); }
bool O2DGlueArgs::IsString(int pos) const { return lua_type(m_L, pos) == LUA_TSTRING; }

int32_t O2DGlue_ToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(INT32_MIN)) return INT32_MIN;
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(value);  // truncation toward zero
}

float O2DGlue_ToFloat(double value) {
  if (value > static_cast<double>(FLT_MAX)) return HUGE_VALF;
  if (value < -static_cast<double>(FLT_MAX)) return -HUGE_VALF;
  return static_cast<float>(value);
}

COstrak& O2DGlue_Engine() {
  COstrak* engine = O2D_GetEngine();
  EHS_ASSERT(engine);
  return *engine;
}

// --- the subsystem ------------------------------------------------------------------

void COstrak::ScrInit() {
  EHS_CP();
  if (m_scr->bInitialized) EHS_RAISE(EHS_GENERAL, 0, "Script subsystem reinitialization!");
  m_scr->bInitialized = true;
  m_bScrReady = 1;
  LOG_AddSeparator(1);
  LOG_AddEntry("Initializing Scripts Subsystem...", 3);

  LOG_AddEntry("Creating Lua state...", 1);
  m_scr->L = lua_open();
  if (!m_scr->L) EHS_RAISE(EHS_GENERAL, 0, "Cannot create lua state!");
  // Installed before anything can fail, although nothing runs unprotected.
  lua_atpanic(m_scr->L, &OnPanic);
  LOG_AddEntry("Done.", 4);

  LOG_AddEntry("Initializing standart Lua libraries...", 1);
  if (const int status = lua_cpcall(m_scr->L, &OpenLibraries, &m_scr->iCallRef))
    SCR_RaiseFailedCall(*m_scr, 0, status, __FILE__, __LINE__);
  lua_settop(m_scr->L, 0);
  LOG_AddEntry("Done.", 4);

  for (auto table : {O2DGlue_SysTable(), O2DGlue_LogTable(), O2DGlue_GfxTable(), O2DGlue_InpTable(),
                     O2DGlue_SfxTable(), O2DGlue_ResTable(), O2DGlue_UtilTable()})
    ScrRegisterFunctions(table.data(), table.size());
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

void COstrak::ScrDeinit() {
  EHS_CP();
  SCR_ReadyState(m_scr.get());
  LOG_AddSeparator(1);
  LOG_AddEntry("Deinitializing Scripts Subsystem...", 3);
  m_scr->Close();
  m_scr->bInitialized = false;
  m_bScrReady = 0;
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

void COstrak::ScrRegisterFunctions(const O2DGlueEntry* entries, size_t count) {
  EHS_CP();
  CScrState& state = SCR_ReadyState(m_scr.get());
  RegisterJob job{entries, count};
  const int base = lua_gettop(state.L);
  if (const int status = lua_cpcall(state.L, &RegisterEntries, &job))
    SCR_RaiseFailedCall(state, base, status, __FILE__, __LINE__);
  lua_settop(state.L, base);
}

lua_State* COstrak::ScrGetLuaState() const { return m_scr->L; }

void COstrak::LoadScriptFromBuffer(const char* text, uint32_t length, const char* chunkName) {
  EHS_CP();
  CScrState& state = SCR_ReadyState(m_scr.get());
  if (!chunkName) chunkName = "";
  LOG_AddEntry(std::string("Loading script from buffer: ") + chunkName, 1);
  lua_State* L = state.L;
  // The stack is emptied back to where it stood: a script loaded from inside a
  // glue function leaves that function's arguments alone.
  const int base = lua_gettop(L);
  state.parked = nullptr;
  if (const int status = luaL_loadbuffer(L, text ? text : "", text ? length : 0, chunkName))
    SCR_RaiseFailedCall(state, base, status, __FILE__, __LINE__);
  if (const int status = lua_pcall(L, 0, 0, 0)) SCR_RaiseFailedCall(state, base, status, __FILE__, __LINE__);
  // A glue failure the script caught itself is over.
  state.parked = nullptr;
  lua_settop(L, base);
  LOG_AddEntry("Done.", 4);
}

void RESLOAD_Script(const void* data, uint32_t size, const char* id, int32_t, int32_t, int32_t, int32_t) {
  EHS_CP();
  COstrak* engine = O2D_GetEngine();
  EHS_ASSERT(engine);
  engine->LoadScriptFromBuffer(static_cast<const char*>(data), size, id);
}
