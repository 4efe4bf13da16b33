#pragma once
// CLuaValue: a tagged value handed to Lua functions called by name, and the
// form their results come back in. No Lua header: the GUI and the game use it.
#include <cstdint>
#include <string>

enum CLuaValueStatus : int32_t {
  LUAVAL_NONE = 0,  // default-constructed: refused as a call parameter
  LUAVAL_NUMBER = 1,
  LUAVAL_BOOLEAN = 2,
  LUAVAL_STRING = 3,
  LUAVAL_FUNCTION = 4,
};

class CLuaValue {
 public:
  CLuaValue() = default;
  CLuaValue(double number) : m_dNumber(number), m_iStatus(LUAVAL_NUMBER) {}
  CLuaValue(int32_t number) : CLuaValue(static_cast<double>(number)) {}
  CLuaValue(bool boolean) : m_bBoolean(boolean), m_iStatus(LUAVAL_BOOLEAN) {}
  // A string, or with isFunction the name of a Lua function (passed to Lua as a string).
  CLuaValue(std::string text, bool isFunction = false)
      : m_strText(std::move(text)), m_iStatus(isFunction ? LUAVAL_FUNCTION : LUAVAL_STRING) {}
  // Without this a string literal would silently become a boolean.
  CLuaValue(const char* text, bool isFunction = false) : CLuaValue(std::string(text ? text : ""), isFunction) {}

  // Each raises a General record when the value holds another kind.
  double GetNumber() const;
  bool GetBoolean() const;
  const std::string& GetString() const;
  const std::string& GetFunction() const;
  int32_t GetStatus() const { return m_iStatus; }

 private:
  double m_dNumber = 0.0;
  bool m_bBoolean = false;
  std::string m_strText;
  int32_t m_iStatus = LUAVAL_NONE;
};
