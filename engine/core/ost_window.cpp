#include "ost_window.h"

#include <cstdlib>
#include <new>

#include "costrak.h"
#include "costrak_log.h"
#include "o2d_instance_lock.h"

static constexpr int EHS_FILE_ID = EHSF_OST_WINDOW;

namespace {
// Runs inside the fault handler: async-signal-safe writers only.
void ReportMachineFault(unsigned code) {
  if (const char* desc = EHS_MachineFaultDesc(code)) {
    EHS_WriteReportFile(O2D_EHSLOG_FILE, EHS_WIN32, code, desc, "", 0, EHS_LocalTimeNowSignalSafe());
    EHS_WriteFatalLogReport(EHS_WIN32, code, desc, "", 0, EHS_GetLastLuaFunction());
  }
}
}  // namespace

int ost_WinMain(O2DGameEntry gameEntry) {
  CO2DInstanceLock instance;
  if (!instance.Acquire(O2D_INSTANCE_NAME)) return 0;  // another instance runs

  O2D_InstallSignalHandlers(&ReportMachineFault);
  EHS_CacheLocalTimeOffset();
  EHS_CP();

  COstrak* engine = nullptr;
  bool failed = false;
  try {
    engine = new (std::nothrow) COstrak();
    if (!engine) EHS_RAISE(EHS_GENERAL, 0, "Cannot create COstrak object!");
    gameEntry();
  } catch (...) {
    EHS_ReportFatal(std::current_exception());
    failed = true;
    if (engine) engine->SetTerminatedByFatalError();
  }
  if (engine) {
    // Clean-up reports its own failures and still stops everything it can.
    if (!engine->Cleanup()) failed = true;
    delete engine;
  }
  // A fatal error is a failure for whoever started the program.
  return failed ? 1 : 0;
}
