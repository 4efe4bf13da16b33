#include "costrak_ehs.h"

#include <ctime>

#include "costrak_log.h"

void EHS_Raise(uint32_t type, uint32_t code, std::string desc, const char* file, int32_t line) {
  throw CEHSException(type, code, std::move(desc), file ? file : "", line);
}

void EHS_ThrowText(std::string text) { throw CEHSTextError{std::move(text)}; }

namespace {
char g_szLastLuaFunction[256] = "";
}

void EHS_SetLastLuaFunction(const char* name) {
  size_t i = 0;
  for (; name && name[i] && i + 1 < sizeof g_szLastLuaFunction; ++i) g_szLastLuaFunction[i] = name[i];
  g_szLastLuaFunction[i] = 0;
}

const char* EHS_GetLastLuaFunction() { return g_szLastLuaFunction; }

const char* EHS_TypeName(uint32_t type) {
  switch (type) {
    case EHS_UNKNOWN: return "Unknown.";
    case EHS_GENERAL: return "General.";
    case EHS_GAME: return "Game.";
    case EHS_WIN32: return "Win32.";
    case EHS_LUA: return "Lua.";
    case EHS_LUAGLUE: return "Lua glue function.";
    case EHS_INSCRIPT: return "In-script.";
    default: return "Undefined type!";
  }
}

const char* CEHSException::GetTypeName() const { return EHS_TypeName(Type); }

const char* EHS_MachineFaultDesc(uint32_t code) {
  switch (code) {
    case O2D_EXCEPTION_DATATYPE_MISALIGNMENT: return "Data type misalingment.";
    case O2D_EXCEPTION_BREAKPOINT: return "Breakpoint.";
    case O2D_EXCEPTION_SINGLE_STEP:
      return "A trace trap or other single-instruction mechanism signaled that one instruction has been executed.";
    case O2D_EXCEPTION_ACCESS_VIOLATION: return "Access violation.";
    case O2D_EXCEPTION_IN_PAGE_ERROR: return "Page error.";
    case O2D_EXCEPTION_ILLEGAL_INSTRUCTION: return "Illegal instruction.";
    case O2D_EXCEPTION_NONCONTINUABLE_EXCEPTION: return "Noncontinuable exception ignored.";
    case O2D_EXCEPTION_INVALID_DISPOSITION: return "Invalid disposition.";
    case O2D_EXCEPTION_ARRAY_BOUNDS_EXCEEDED: return "Array bounds exceeded.";
    case O2D_EXCEPTION_FLT_DENORMAL_OPERAND: return "Denormal operand (float).";
    case O2D_EXCEPTION_FLT_DIVIDE_BY_ZERO: return "Divide by zero (float).";
    case O2D_EXCEPTION_FLT_INEXACT_RESULT: return "Inexact result (float).";
    case O2D_EXCEPTION_FLT_INVALID_OPERATION: return "Invalid operation (float).";
    case O2D_EXCEPTION_FLT_OVERFLOW: return "Overflow (float).";
    case O2D_EXCEPTION_FLT_STACK_CHECK: return "Stack overflow or underflow (float).";
    case O2D_EXCEPTION_FLT_UNDERFLOW: return "Underflow (float).";
    case O2D_EXCEPTION_INT_DIVIDE_BY_ZERO: return "Divide by zero (int).";
    case O2D_EXCEPTION_INT_OVERFLOW: return "Overflow (int).";
    case O2D_EXCEPTION_PRIV_INSTRUCTION:
      return "The thread tried to execute an instruction whose operation is not allowed in the current machine mode.";
    case O2D_EXCEPTION_STACK_OVERFLOW: return "Stack overflow.";
    default: return nullptr;
  }
}

// --- local time ------------------------------------------------------------

namespace {
std::atomic<long> g_utcOffsetSeconds{0};

// Civil date from days since 1970-01-01 (proleptic Gregorian); no library calls.
void CivilFromDays(long z, int& y, int& m, int& d) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const long doe = z - era * 146097;
  const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}
}  // namespace

EHSLocalTime EHS_LocalTimeNow() {
  std::time_t now = std::time(nullptr);
  std::tm tmv{};
  localtime_r(&now, &tmv);
  return {tmv.tm_mday, tmv.tm_mon + 1, tmv.tm_year + 1900, tmv.tm_hour, tmv.tm_min};
}

void EHS_CacheLocalTimeOffset() {
  std::time_t now = std::time(nullptr);
  std::tm tmv{};
  localtime_r(&now, &tmv);
  g_utcOffsetSeconds.store(tmv.tm_gmtoff, std::memory_order_relaxed);
}

EHSLocalTime EHS_LocalTimeNowSignalSafe() {
  long t = static_cast<long>(std::time(nullptr)) + g_utcOffsetSeconds.load(std::memory_order_relaxed);
  long days = t >= 0 ? t / 86400 : (t - 86399) / 86400;
  long secs = t - days * 86400;
  EHSLocalTime lt{};
  CivilFromDays(days, lt.year, lt.month, lt.day);
  lt.hour = static_cast<int>(secs / 3600);
  lt.minute = static_cast<int>(secs % 3600 / 60);
  return lt;
}

// --- reports ---------------------------------------------------------------

void EHS_WriteReportFile(const char* path, uint32_t type, uint32_t code, std::string_view desc,
                         std::string_view file, int32_t line, const EHSLocalTime& when) {
  CAppendFile out(path);
  if (!out.IsOpen()) return;
  out.EndLine().EndLine().EndLine();
  out.Put("Date: ").PutI(when.day).Put(".").PutI(when.month).Put(".").PutI(when.year).EndLine();
  out.Put("Time: ").PutI(when.hour).Put(":").PutI(when.minute).EndLine();
  out.Put("Exception type: ").Put(EHS_TypeName(type)).EndLine();
  out.Put("Exception code: ").PutU(code).EndLine();
  out.Put("Exception desc: ").Put(desc).EndLine();
  out.Put("File: ").Put(file).EndLine();
  out.Put("Line: ").PutI(line).EndLine();
  out.Put("Last checkpoint:").EndLine();
  out.Put("   FileID: ").PutI(EHS_GetCheckpointFile()).EndLine();
  out.Put("   Line:   ").PutI(EHS_GetCheckpointLine()).EndLine();
}

void CEHSException::WriteReport() const {
  EHS_WriteReportFile(O2D_EHSLOG_FILE, Type, Code, Desc, File, Line, EHS_LocalTimeNow());
}

void EHS_WriteFatalLogReport(uint32_t type, uint32_t code, std::string_view desc, std::string_view file,
                             int32_t line, std::string_view lastLuaFunc) {
  const char* sep = LOG_SeparatorLine(3);
  const char* fatal = LOG_LevelPrefix(6);
  // A log that cannot be written leaves the record on standard error.
  CAppendFile log(O2D_GAMELOG_FILE, true);
  log.EndLine().EndLine();
  log.Put(sep).EndLine();
  log.Put(fatal).Put("Fatal error!").EndLine();
  log.Put(fatal).Put("Error type: ").Put(EHS_TypeName(type)).EndLine();
  log.Put(fatal).Put("Error code: ").PutU(code).EndLine();
  log.Put(fatal).Put("Error desc: ").Put(desc).EndLine();
  log.Put(fatal).Put("Error location: ").EndLine();
  if (type == EHS_WIN32) {
    log.Put(fatal).Put("   FileID: ").PutI(EHS_GetCheckpointFile()).EndLine();
    log.Put(fatal).Put("   Line: ").PutI(EHS_GetCheckpointLine()).EndLine();
  } else {
    log.Put(fatal).Put("   File: ").Put(file).EndLine();
    log.Put(fatal).Put("   Line: ").PutI(line).EndLine();
  }
  log.Put(fatal).Put("Last called Lua function name: ").Put(lastLuaFunc).EndLine();
  log.Put(sep).EndLine();
  log.EndLine().EndLine();
}

void EHS_ReportFatal(std::exception_ptr error) {
  try {
    std::rethrow_exception(error);
  } catch (const CEHSException& e) {
    e.WriteReport();
    EHS_WriteFatalLogReport(e.Type, e.Code, e.Desc, e.File, e.Line, EHS_GetLastLuaFunction());
  } catch (const CEHSTextError& e) {
    CAppendFile log(O2D_GAMELOG_FILE, true);
    log.Put(LOG_LevelPrefix(6)).Put(e.Text).EndLine();
  } catch (...) {
    CAppendFile log(O2D_GAMELOG_FILE, true);
    log.Put(LOG_LevelPrefix(6)).Put("EXCEPTION OF UNKNOWN TYPE!").EndLine();
  }
}
