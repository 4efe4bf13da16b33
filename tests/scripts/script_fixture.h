#pragma once
// The script host inside a whole engine: resources from a descriptor, graphics
// on the recording device, input from devices the test controls, sound mixed
// offline, then scripts. Scripts are run as text, as the game's data runs them.
#include <lua.hpp>

#include "../gfx2d/gfx2d_fixture.h"
#include "audio_generators.h"
#include "o2d_audio.h"

// Keyboard and mouse whose state the test sets before a frame.
struct FakeInputDevices : IO2DInputDevices {
  uint8_t keys[256] = {};
  O2DMouseState mouse;
  O2DCursor cursor{120, 340, true};
  int32_t AcquireKeyboard() override { return O2D_INPUT_OK; }
  int32_t AcquireMouse() override { return O2D_INPUT_OK; }
  int32_t ReadKeyboard(uint8_t (&out)[256]) override {
    std::copy(std::begin(keys), std::end(keys), std::begin(out));
    return O2D_INPUT_OK;
  }
  int32_t ReadMouse(O2DMouseState& out) override {
    out = mouse;
    return O2D_INPUT_OK;
  }
  O2DCursor GetCursor() override { return cursor; }
  void ShowCursor(bool) override {}
};

class ScriptTest : public Gfx2DTest {
 protected:
  // The whole engine, with the descriptor's entries as its resources.
  void StartAll(const std::string& entries = "") {
    Start(entries);
    auto input = std::make_unique<FakeInputDevices>();
    m_input = input.get();
    m_engine->InitInputSubsystem(std::move(input));
    m_engine->SoundSelectDevice(O2DAUDIO_DEVICE_RENDER);
    m_engine->SoundInit(44100);
    m_engine->ScrInit();
  }
  // Only resources and scripts.
  void StartScripts(const std::string& entries = "") {
    if (!entries.empty()) WriteFileBytes("DATA/res.xml", "<respack>" + entries + "</respack>");
    m_engine = std::make_unique<COstrak>();
    m_engine->ResInit();
    m_engine->ScrInit();
  }
  void Run(const std::string& text, const char* chunk = "TEST") {
    m_engine->LoadScriptFromBuffer(text.data(), uint32_t(text.size()), chunk);
  }
  // Defines `function f() <body> end`, calls it and gives its results.
  const std::vector<CLuaValue>& Eval(const std::string& body) {
    Run("function eval_f() " + body + " end");
    m_engine->CallLuaFunction("eval_f", -1);
    return m_engine->ScrGetResults();
  }
  int StackTop() const { return lua_gettop(m_engine->ScrGetLuaState()); }

  FakeInputDevices* m_input = nullptr;
};

// The values' kinds and contents in order, as one string.
inline std::string Kinds(const std::vector<CLuaValue>& values) {
  std::string out;
  for (const CLuaValue& v : values) {
    switch (v.GetStatus()) {
      case LUAVAL_NUMBER: out += "n:" + std::to_string(v.GetNumber()) + " "; break;
      case LUAVAL_BOOLEAN: out += std::string("b:") + (v.GetBoolean() ? "true " : "false "); break;
      case LUAVAL_STRING: out += "s:" + v.GetString() + " "; break;
      case LUAVAL_FUNCTION: out += "f "; break;
    }
  }
  return out;
}
