// Calls of global Lua functions by name with CLuaValue parameters (the GUI's
// actions, the game's handlers). The lookup, the pushes and the call run inside
// one protected call, so neither a missing name nor a failing function can
// reach the panic handler; results are collected afterwards in plain C++.
#include <lua.hpp>

#include <algorithm>
#include <climits>

#include "costrak.h"
#include "costrak_scr_state.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SCR_FUNC;

namespace {

// A parameter as the trampoline pushes it: plain data, nothing that can throw.
struct CallParam {
  int32_t status = 0;
  double number = 0.0;
  bool boolean = false;
  const char* text = nullptr;
  size_t length = 0;
};

struct CallJob {
  const char* name;
  const CallParam* params;
  size_t count;
  int results;  // LUA_MULTRET or how many to keep
  int32_t badStatus = 0;
  bool bad = false;
};

// Puts the stack back where the call found it, whichever way the call ends.
struct StackRestore {
  lua_State* L;
  int base;
  ~StackRestore() { lua_settop(L, base); }
};

}  // namespace

// Runs protected with the job as its only argument. Returns the called
// function's results; none when the name is not a function or a parameter has
// no Lua form (the job says which).
int SCR_CallTrampoline(lua_State* L) {
  CallJob* job = static_cast<CallJob*>(lua_touserdata(L, 1));
  lua_getfield(L, LUA_GLOBALSINDEX, job->name);
  if (lua_type(L, -1) != LUA_TFUNCTION) return 0;
  for (size_t i = 0; i < job->count; ++i) {
    const int32_t status = job->params[i].status;
    if (status < LUAVAL_NUMBER || status > LUAVAL_FUNCTION) {
      job->bad = true;
      job->badStatus = status;
      return 0;
    }
  }
  const int count = static_cast<int>(std::min<size_t>(job->count, INT_MAX - 1));
  luaL_checkstack(L, count + 1, "too many parameters");
  for (int i = 0; i < count; ++i) {
    const CallParam& p = job->params[i];
    switch (p.status) {
      case LUAVAL_NUMBER: lua_pushnumber(L, p.number); break;
      case LUAVAL_BOOLEAN: lua_pushboolean(L, p.boolean); break;
      default: lua_pushlstring(L, p.text, p.length); break;  // a function value goes by its name
    }
  }
  // Results beyond what the function returns are filled with nils on the stack.
  if (job->results > 0) luaL_checkstack(L, job->results, "too many results");
  lua_call(L, count, job->results);
  return lua_gettop(L) - 1;
}

void COstrak::AddParam(const CLuaValue& value) {
  EHS_CP();
  SCR_ReadyState(m_scr.get()).params.push_back(value);
}

void COstrak::CallLuaFunction(const char* name, int32_t results) {
  EHS_CP();
  CScrState& state = SCR_ReadyState(m_scr.get());
  const std::string function = name ? name : "";
  state.strCurrentFunction = function;
  EHS_SetLastLuaFunction(function.c_str());
  state.results.clear();
  // The parameters belong to this call, whatever becomes of it.
  std::vector<CLuaValue> params;
  params.swap(state.params);
  std::vector<CallParam> plain(params.size());
  for (size_t i = 0; i < params.size(); ++i) {
    const CLuaValue& v = params[i];
    CallParam& p = plain[i];
    p.status = v.GetStatus();
    if (p.status == LUAVAL_NUMBER) p.number = v.GetNumber();
    if (p.status == LUAVAL_BOOLEAN) p.boolean = v.GetBoolean();
    const std::string* text = p.status == LUAVAL_STRING     ? &v.GetString()
                              : p.status == LUAVAL_FUNCTION ? &v.GetFunction()
                                                            : nullptr;
    if (text) p.text = text->data(), p.length = text->size();
  }

  lua_State* L = state.L;
  const StackRestore restore{L, lua_gettop(L)};
  CallJob job{function.c_str(), plain.data(), plain.size(), results < 0 ? LUA_MULTRET : results};
  lua_rawgeti(L, LUA_REGISTRYINDEX, state.iCallRef);
  lua_pushlightuserdata(L, &job);
  state.parked = nullptr;
  if (const int status = lua_pcall(L, 1, LUA_MULTRET, 0))
    SCR_RaiseFailedCall(state, restore.base, status, __FILE__, __LINE__);
  state.parked = nullptr;
  if (job.bad)
    EHS_RAISE(EHS_GAME, 0, "Function: " + function + " Wrong parameter type. Type id = " + std::to_string(job.badStatus));

  // Topmost first: the last returned value leads the list.
  while (lua_gettop(L) > restore.base) {
    switch (const int type = lua_type(L, -1)) {
      case LUA_TBOOLEAN: state.results.emplace_back(lua_toboolean(L, -1) != 0); break;
      case LUA_TNUMBER: state.results.emplace_back(static_cast<double>(lua_tonumber(L, -1))); break;
      case LUA_TSTRING: {
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        state.results.emplace_back(std::string(text, length), false);
        break;
      }
      // The interpreter gives a function no text; nothing reads one anyway.
      case LUA_TFUNCTION: state.results.emplace_back(std::string(), true); break;
      default:
        EHS_RAISE(EHS_GAME, 0,
                  "Function: " + function + " returned result of invalid type. Type id = " + std::to_string(type));
    }
    lua_pop(L, 1);
  }
}

const std::vector<CLuaValue>& COstrak::ScrGetResults() const { return m_scr->results; }

const std::string& COstrak::ScrGetCurrentFunctionName() const { return m_scr->strCurrentFunction; }
