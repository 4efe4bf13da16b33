#pragma once
// Error records, the process-wide checkpoint, and the reports written after a
// fatal error. Every failure of the engine, the GUI and the game is raised as a
// CEHSException and ends the run at the process entry.
#include <atomic>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "costrak_fileids.h"
#include "o2d_fault_signals.h"

enum EHSType : uint32_t {
  EHS_UNKNOWN = 0,
  EHS_GENERAL = 1,
  EHS_GAME = 2,
  EHS_WIN32 = 3,
  EHS_LUA = 4,
  EHS_LUAGLUE = 5,
  EHS_INSCRIPT = 6,
};

class CEHSException {
 public:
  CEHSException(uint32_t type, uint32_t code, std::string desc, std::string file, int32_t line)
      : Type(type), Code(code), Desc(std::move(desc)), File(std::move(file)), Line(line) {}

  uint32_t Type;
  uint32_t Code;
  std::string Desc;
  std::string File;
  int32_t Line;

  const char* GetTypeName() const;
  // Appends the report to "ehslog.txt"; an unwritable file is named on standard error.
  void WriteReport() const;
};

// A failure reported as a plain text instead of a record (container and parser
// faults). The process entry logs the text alone at level 6.
struct CEHSTextError {
  std::string Text;
};

[[noreturn]] void EHS_Raise(uint32_t type, uint32_t code, std::string desc, const char* file, int32_t line);
[[noreturn]] void EHS_ThrowText(std::string text);

// Every raising site records its own source file (path inside the repository) and line.
#define EHS_RAISE(type, code, desc) ::EHS_Raise((type), (code), (desc), __FILE__, __LINE__)
// A null pointer or false condition raises a General record with code 0.
#define EHS_ASSERT(cond)                                                     \
  do {                                                                       \
    if (!(cond)) ::EHS_Raise(EHS_GENERAL, 0, "EHS Assertion failed.", __FILE__, __LINE__); \
  } while (0)

// The checkpoint is two relaxed stores, cheap enough for every function, and
// readable from a fault handler.
namespace ehs_detail {
inline std::atomic<int32_t> g_checkpointFile{0};
inline std::atomic<int32_t> g_checkpointLine{0};
}  // namespace ehs_detail

inline void EHS_SetCheckpoint(int32_t file, int32_t line) {
  ehs_detail::g_checkpointFile.store(file, std::memory_order_relaxed);
  ehs_detail::g_checkpointLine.store(line, std::memory_order_relaxed);
}
inline int32_t EHS_GetCheckpointFile() { return ehs_detail::g_checkpointFile.load(std::memory_order_relaxed); }
inline int32_t EHS_GetCheckpointLine() { return ehs_detail::g_checkpointLine.load(std::memory_order_relaxed); }

// Each source file defines `static constexpr int EHS_FILE_ID = EHSF_...;`.
#define EHS_CP() ::EHS_SetCheckpoint(EHS_FILE_ID, __LINE__)

// The name of the last script function the script host called, for the fatal
// report; kept in a fixed buffer so the fault handler can read it.
void EHS_SetLastLuaFunction(const char* name);
const char* EHS_GetLastLuaFunction();

// Writes a fatal error caught at the top: an error record to "ehslog.txt" and as
// the fatal-error report of the game log, a text error alone at level 6, anything
// else as "EXCEPTION OF UNKNOWN TYPE!".
void EHS_ReportFatal(std::exception_ptr error);

// Type names as the reports print them.
const char* EHS_TypeName(uint32_t type);

// Machine-fault codes (the Windows exception codes) and their descriptions.
// Returns null for a code that is not turned into a record.
const char* EHS_MachineFaultDesc(uint32_t code);


// Local date and time as the reports print them. The fault handler cannot call
// localtime, so the offset from UTC is cached once by EHS_CacheLocalTimeOffset()
// (the process entry calls it) and the signal-safe variant uses it.
struct EHSLocalTime {
  int day, month, year, hour, minute;
};
EHSLocalTime EHS_LocalTimeNow();
void EHS_CacheLocalTimeOffset();
EHSLocalTime EHS_LocalTimeNowSignalSafe();

// The two reports of a fatal error, written with plain system calls only (no
// allocation, no stdio), so the machine-fault handler can use them as well.
// lastLuaFunc is the name the script host keeps of the last script function it called.
void EHS_WriteReportFile(const char* path, uint32_t type, uint32_t code, std::string_view desc,
                         std::string_view file, int32_t line, const EHSLocalTime& when);
void EHS_WriteFatalLogReport(uint32_t type, uint32_t code, std::string_view desc, std::string_view file,
                             int32_t line, std::string_view lastLuaFunc);
