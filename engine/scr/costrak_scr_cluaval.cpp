#include "costrak_scr_cluaval.h"

#include "costrak_ehs.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_SCR_CLUAVAL;

double CLuaValue::GetNumber() const {
  EHS_CP();
  if (m_iStatus != LUAVAL_NUMBER)
    EHS_RAISE(EHS_GENERAL, 0, "CLuaValue error: cannot return number because of different status!");
  return m_dNumber;
}

bool CLuaValue::GetBoolean() const {
  EHS_CP();
  if (m_iStatus != LUAVAL_BOOLEAN)
    EHS_RAISE(EHS_GENERAL, 0, "CLuaValue error: cannot return boolean because of different status!");
  return m_bBoolean;
}

const std::string& CLuaValue::GetString() const {
  EHS_CP();
  if (m_iStatus != LUAVAL_STRING)
    EHS_RAISE(EHS_GENERAL, 0, "CLuaValue error: cannot return string because of different status!");
  return m_strText;
}

const std::string& CLuaValue::GetFunction() const {
  EHS_CP();
  if (m_iStatus != LUAVAL_FUNCTION)
    EHS_RAISE(EHS_GENERAL, 0, "CLuaValue error: cannot return function because of different status!");
  return m_strText;
}
