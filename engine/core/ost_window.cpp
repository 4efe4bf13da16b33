#include "ost_window.h"

#include <signal.h>

#include <cstdlib>
#include <new>

#include "costrak.h"
#include "o2d_instance_lock.h"

static constexpr int EHS_FILE_ID = EHSF_OST_WINDOW;

unsigned O2D_SignalToExceptionCode(int sig, int siCode) {
  switch (sig) {
    case SIGSEGV: return EHS_EXCEPTION_ACCESS_VIOLATION;
    case SIGBUS: return siCode == BUS_ADRALN ? EHS_EXCEPTION_DATATYPE_MISALIGNMENT : EHS_EXCEPTION_IN_PAGE_ERROR;
    case SIGILL:
      return (siCode == ILL_PRVOPC || siCode == ILL_PRVREG) ? EHS_EXCEPTION_PRIV_INSTRUCTION
                                                             : EHS_EXCEPTION_ILLEGAL_INSTRUCTION;
    case SIGFPE:
      switch (siCode) {
        case FPE_INTDIV: return EHS_EXCEPTION_INT_DIVIDE_BY_ZERO;
        case FPE_INTOVF: return EHS_EXCEPTION_INT_OVERFLOW;
        case FPE_FLTDIV: return EHS_EXCEPTION_FLT_DIVIDE_BY_ZERO;
        case FPE_FLTOVF: return EHS_EXCEPTION_FLT_OVERFLOW;
        case FPE_FLTUND: return EHS_EXCEPTION_FLT_UNDERFLOW;
        case FPE_FLTRES: return EHS_EXCEPTION_FLT_INEXACT_RESULT;
        case FPE_FLTSUB: return EHS_EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
        default: return EHS_EXCEPTION_FLT_INVALID_OPERATION;
      }
    default: return 0;
  }
}

namespace {
// Runs on its own stack so that a stack overflow can still be reported.
alignas(16) char g_altStack[64 * 1024];

void MachineFaultHandler(int sig, siginfo_t* info, void*) {
  const unsigned code = O2D_SignalToExceptionCode(sig, info ? info->si_code : 0);
  if (const char* desc = EHS_MachineFaultDesc(code)) {
    EHS_WriteReportFile("ehslog.txt", EHS_WIN32, code, desc, "", 0, EHS_LocalTimeNowSignalSafe());
    EHS_WriteFatalLogReport(EHS_WIN32, code, desc, "", 0, EHS_GetLastLuaFunction());
  }
  // SA_RESETHAND restored the default action, so this ends the process as the
  // system would have (core dump included).
  raise(sig);
}

void QuitHandler(int) { O2D_RequestQuitFromSignal(); }

}  // namespace

void O2D_InstallSignalHandlers() {
  stack_t ss{};
  ss.ss_sp = g_altStack;
  ss.ss_size = sizeof g_altStack;
  sigaltstack(&ss, nullptr);

  struct sigaction fault{};
  fault.sa_sigaction = &MachineFaultHandler;
  fault.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
  sigemptyset(&fault.sa_mask);
  for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL}) sigaction(sig, &fault, nullptr);

  struct sigaction quit{};
  quit.sa_handler = &QuitHandler;
  sigemptyset(&quit.sa_mask);
  for (int sig : {SIGINT, SIGTERM}) sigaction(sig, &quit, nullptr);
}

int ost_WinMain(O2DGameEntry gameEntry) {
  CO2DInstanceLock instance;
  if (!instance.Acquire(O2D_INSTANCE_NAME)) return 0;  // another instance runs

  O2D_InstallSignalHandlers();
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
