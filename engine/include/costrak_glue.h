#pragma once
// What every script API glue function is made of (the engine's families and
// the GUI's): a registration table per family, the guard that turns a C++
// failure into a Lua error, and the argument checks and conversions.
//
// A glue body may call Lua functions that raise (they longjmp) only while it
// holds no object with a destructor: arguments are read as plain values and
// strings as pointers into the Lua stack.
#include <lua.hpp>

#include <cstdint>
#include <span>

#include "costrak.h"

struct O2DGlueEntry {
  const char* name;  // the global name scripts call
  lua_CFunction fn;
};

// The engine's families, in registration order.
std::span<const O2DGlueEntry> O2DGlue_SysTable();
std::span<const O2DGlueEntry> O2DGlue_LogTable();
std::span<const O2DGlueEntry> O2DGlue_GfxTable();
std::span<const O2DGlueEntry> O2DGlue_InpTable();
std::span<const O2DGlueEntry> O2DGlue_SfxTable();
std::span<const O2DGlueEntry> O2DGlue_ResTable();
std::span<const O2DGlueEntry> O2DGlue_UtilTable();

using O2DGlueBody = int (*)(lua_State* L, const char* glueName);

// Runs a glue body inside a C++ try. Whatever it throws is parked in the script
// host, and the Lua error for it is raised from this frame, which holds no C++
// object, once the body's frames are gone. Returns the body's result count.
int O2DGlue_Run(lua_State* L, const char* glueName, O2DGlueBody body);

// Defines glue_<name>: records the checkpoint and runs the body under
// O2DGlue_Run. The body follows the macro and sees `L` and `glueName`.
#define O2D_GLUE(name)                                                    \
  static int glue_body_##name(lua_State* L, const char* glueName);        \
  static int glue_##name(lua_State* L) {                                  \
    EHS_SetCheckpoint(EHS_FILE_ID, __LINE__);                             \
    return O2DGlue_Run(L, "glue_" #name, &glue_body_##name);              \
  }                                                                       \
  static int glue_body_##name([[maybe_unused]] lua_State* L, [[maybe_unused]] const char* glueName)

// A registration-table row for glue_<name>, registered as <name>.
#define O2D_GLUE_ENTRY(name) O2DGlueEntry { #name, &glue_##name }

// The arguments of one glue call. The constructor checks them in increasing
// position, each against its kind: 'n' number, 'b' boolean, 's' string, 'i'
// item (a string ID or a number ID). `optional` kinds follow the required
// ones and are checked, and used, only when the argument count equals their
// position. The first failing position raises the glue error (Game, code 0).
class O2DGlueArgs {
 public:
  O2DGlueArgs(lua_State* L, const char* glueName, const char* required, const char* optional = "");

  int Count() const { return m_iCount; }
  float F(int pos) const;    // number float
  int32_t I(int pos) const;  // number int: truncated toward zero, saturated at the int range
  bool B(int pos) const;
  const char* S(int pos) const;  // valid while the argument is on the stack
  bool IsString(int pos) const;
  float OptF(int pos, float def) const { return m_iCount == pos ? F(pos) : def; }
  int32_t OptI(int pos, int32_t def) const { return m_iCount == pos ? I(pos) : def; }

  // An item argument: its string form calls byStrID, its number form byID.
  template <typename ByStrID, typename ByID>
  decltype(auto) Item(int pos, ByStrID&& byStrID, ByID&& byID) const {
    return IsString(pos) ? byStrID(S(pos)) : byID(I(pos));
  }

 private:
  lua_State* m_L;
  int m_iCount;
};

// The engine instance the glue works on.
COstrak& O2DGlue_Engine();

// The int and float conversions of number arguments, without undefined
// behaviour for NaN, infinities or values out of range.
int32_t O2DGlue_ToInt(double value);
float O2DGlue_ToFloat(double value);
