#include "o2d_fault_signals.h"

#include <signal.h>

#include "o2d_window.h"

unsigned O2D_SignalToExceptionCode(int sig, int siCode) {
  switch (sig) {
    case SIGSEGV: return O2D_EXCEPTION_ACCESS_VIOLATION;
    case SIGBUS: return siCode == BUS_ADRALN ? O2D_EXCEPTION_DATATYPE_MISALIGNMENT : O2D_EXCEPTION_IN_PAGE_ERROR;
    case SIGILL:
      return (siCode == ILL_PRVOPC || siCode == ILL_PRVREG) ? O2D_EXCEPTION_PRIV_INSTRUCTION
                                                             : O2D_EXCEPTION_ILLEGAL_INSTRUCTION;
    case SIGFPE:
      switch (siCode) {
        case FPE_INTDIV: return O2D_EXCEPTION_INT_DIVIDE_BY_ZERO;
        case FPE_INTOVF: return O2D_EXCEPTION_INT_OVERFLOW;
        case FPE_FLTDIV: return O2D_EXCEPTION_FLT_DIVIDE_BY_ZERO;
        case FPE_FLTOVF: return O2D_EXCEPTION_FLT_OVERFLOW;
        case FPE_FLTUND: return O2D_EXCEPTION_FLT_UNDERFLOW;
        case FPE_FLTRES: return O2D_EXCEPTION_FLT_INEXACT_RESULT;
        case FPE_FLTSUB: return O2D_EXCEPTION_ARRAY_BOUNDS_EXCEEDED;
        default: return O2D_EXCEPTION_FLT_INVALID_OPERATION;
      }
    default: return 0;
  }
}

namespace {
// Runs on its own stack so that a stack overflow can still be reported.
alignas(16) char g_altStack[64 * 1024];
O2DFaultReporter g_report = nullptr;

void MachineFaultHandler(int sig, siginfo_t* info, void*) {
  if (g_report) g_report(O2D_SignalToExceptionCode(sig, info ? info->si_code : 0));
  // SA_RESETHAND restored the default action, so this ends the process as the
  // system would have (core dump included).
  raise(sig);
}

void QuitHandler(int) { O2D_RequestQuitFromSignal(); }

}  // namespace

void O2D_InstallSignalHandlers(O2DFaultReporter report) {
  g_report = report;
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
