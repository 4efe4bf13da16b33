// The script host: its start and stop, the libraries a script sees, loading
// chunks, calls by name with their parameters and results, and error records
// that cross the interpreter unchanged.
#include "costrak_utils_demand.h"
#include "script_fixture.h"

namespace {

TEST_F(ScriptTest, StartsOnceStopsAfterResourcesAndRestartsWithItsLibrariesOnly) {
  StartScripts();
  EXPECT_EQ(Raised([&] { m_engine->ScrInit(); }), "1 0: Script subsystem reinitialization!");

  m_engine->Cleanup();
  const std::string log = GameLog();
  ASSERT_NE(log.find("Deinitializing Resources Subsystem..."), std::string::npos);
  EXPECT_GT(log.find("--==: Deinitializing Scripts Subsystem...\n   +: Done.\n"),
            log.find("Deinitializing Resources Subsystem..."));
  const std::string notStarted = "1 0: Internal error - scripts subsystem was not initialized!";
  EXPECT_EQ(Raised([&] { Run("x = 1"); }), notStarted);
  EXPECT_EQ(Raised([&] { m_engine->CallLuaFunction("f", -1); }), notStarted);
  m_engine->ScrInit();  // a stopped host starts again, with the base, coroutine, math, io and os libraries only
  EXPECT_EQ(Kinds(Eval("return type(print), type(coroutine), type(math), type(io), type(os), type(string), "
                       "type(table), type(debug), type(require), type(package)")),
            "s:nil s:nil s:nil s:nil s:nil s:table s:table s:table s:table s:function ");
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, CompileAndRunErrorsAreLuaRecordsNamingTheChunkAndLine) {
  StartScripts();
  const std::string syntax = Raised([&] { Run("x = 1\nx = = 2\n", "SCR_BROKEN"); });
  EXPECT_EQ(syntax.rfind("4 3: [string \"SCR_BROKEN\"]:2:", 0), 0u) << syntax;  // EHS_LUA, LUA_ERRSYNTAX
  EXPECT_EQ(Raised([&] { Run("local a = 1\nerror('boom')", "SCR_RUN"); }), "4 2: [string \"SCR_RUN\"]:2: boom");
  EXPECT_EQ(Raised([&] { Run("error({})"); }), "4 2: (error object is a table value)");
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, CallsByNameTakeTypedParametersAndGiveResultsLastFirst) {
  StartScripts();
  Run("function three() return 1, true, 'x' end\nfunction giveFn() return print end\n"
      "function tbl() return {} end\nfunction none() end\nfunction echo(...) return ... end\nnotfn = 5\n"
      "function kinds(...) local s = '' for i = 1, select('#', ...) do s = s .. type((select(i, ...))) .. ',' end "
      "return s end");
  auto call = [&](const char* name, int results) {
    m_engine->CallLuaFunction(name, results);
    return Kinds(m_engine->ScrGetResults());
  };
  EXPECT_EQ(call("three", -1), "s:x b:true n:1.000000 ");
  EXPECT_EQ(call("three", 2), "b:true n:1.000000 ");
  EXPECT_EQ(call("giveFn", -1), "f ");
  EXPECT_EQ(Raised([&] { call("tbl", -1); }), "2 0: Function: tbl returned result of invalid type. Type id = 5");
  // Results asked for beyond those returned are nils, which have no value form.
  EXPECT_EQ(Raised([&] { call("none", 1); }), "2 0: Function: none returned result of invalid type. Type id = 0");

  m_engine->AddParam(CLuaValue(2.5));
  m_engine->AddParam(CLuaValue(true));
  m_engine->AddParam(CLuaValue("text"));
  m_engine->AddParam(CLuaValue("BTN_ONPRESS", true));
  EXPECT_EQ(call("kinds", -1), "s:number,boolean,string,string, ");
  m_engine->AddParam(CLuaValue(std::string("a\0b", 3)));
  m_engine->CallLuaFunction("echo", -1);
  EXPECT_EQ(m_engine->ScrGetResults().at(0).GetString(), std::string("a\0b", 3));
  // A name that is no function calls nothing; its parameters are dropped.
  for (const char* name : {"undefined", "notfn"}) {
    m_engine->AddParam(CLuaValue(1.0));
    m_engine->CallLuaFunction(name, -1);
    EXPECT_TRUE(m_engine->ScrGetResults().empty()) << name;
    EXPECT_EQ(call("kinds", -1), "s: ") << name;
  }
  // A value without a kind is refused.
  m_engine->AddParam(CLuaValue());
  EXPECT_EQ(Raised([&] { call("kinds", -1); }), "2 0: Function: kinds Wrong parameter type. Type id = 0");
  EXPECT_EQ(StackTop(), 0);
}

// A record raised by an engine call three calls below the script keeps its
// own type, code, text, file and line, through a call by name and a chunk.
TEST_F(ScriptTest, ARecordRaisedInsideAGlueCallArrivesUnchanged) {
  StartScripts();
  CEHSException direct(0, 0, "", "", 0);
  try {
    O2DUTIL_DemandTexture("TEX_NONE");
  } catch (const CEHSException& e) {
    direct = e;
  }
  ASSERT_EQ(direct.File, "engine/res/costrak_utils_demand.cpp");

  Run("function a() local x = b() return x end\nfunction b() return c() + 1 end\n"
      "function c() return O2DUTIL_DemandTexture('TEX_NONE') end");
  for (int viaChunk = 0; viaChunk < 2; ++viaChunk) {
    try {
      if (viaChunk)
        Run("a()", "SCR_CALLER");
      else
        m_engine->CallLuaFunction("a", -1);
      FAIL() << "no error";
    } catch (const CEHSException& e) {
      EXPECT_EQ(e.Type, direct.Type);
      EXPECT_EQ(e.Code, direct.Code);
      EXPECT_EQ(e.Desc, "Invalid texture demand. ID = TEX_NONE");
      EXPECT_EQ(e.File, direct.File);
      EXPECT_EQ(e.Line, direct.Line);
      if (!viaChunk) EHS_ReportFatal(std::current_exception());
    }
    EXPECT_EQ(StackTop(), 0);
  }
  EXPECT_TRUE(LogHas(" !!!: Error desc: Invalid texture demand. ID = TEX_NONE\n !!!: Error location: \n"
                     " !!!:    File: engine/res/costrak_utils_demand.cpp\n !!!:    Line: " +
                     std::to_string(direct.Line) + "\n !!!: Last called Lua function name: a\n"));
}

TEST_F(ScriptTest, ScriptResourcesRunWhenLoadedByIDOrTagAndMayLoadEachOther) {
  WriteFileBytes("DATA/a.lua", "loaded_a = (loaded_a or 0) + 1");
  WriteFileBytes("DATA/b.lua", "function from_b() return 'b' end\nO2D_RES_LoadResource('SCR_C')");
  WriteFileBytes("DATA/c.lua", "loaded_c = true");
  StartScripts(Res("SCR_A", "a.lua", "SCRIPT", 3) + Res("SCR_B", "b.lua", "SCRIPT", 4) +
               Res("SCR_C", "c.lua", "SCRIPT", 5));
  m_engine->LoadResources(3);
  m_engine->LoadResource("SCR_A");
  m_engine->LoadResources(4);
  EXPECT_EQ(Kinds(Eval("return loaded_a, from_b(), loaded_c")), "b:true s:b n:2.000000 ");
  EXPECT_EQ(StackTop(), 0);
}

TEST_F(ScriptTest, APanicEndsTheRunThroughTheFatalReport) {
  StartScripts();
  EXPECT_EXIT(
      {
        lua_State* L = m_engine->ScrGetLuaState();
        lua_pushstring(L, "outside any protected call");
        lua_error(L);
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_TRUE(LogHas(" !!!: Error type: Game.\n !!!: Error code: 0\n"
                     " !!!: Error desc: Lua is on panic! Error source is unknown.\n"));
  EXPECT_TRUE(LogHas("--==: End of log.\n"));
}

}  // namespace

