#include "o2d_fault_signals.h"

#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>

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

// The lowest address the installing thread's stack may grow to, by its size limit
// or by the mapping below it. The system keeps a gap (a megabyte on Linux) between a
// stack and the next mapping, so the stack ends at most that far on either side.
uintptr_t g_stackLow = 0;
constexpr uintptr_t kGuardRegion = 1024 * 1024;

#ifdef __GLIBC__
extern "C" void* __libc_stack_end;  // the top of the main thread's stack, set by the loader
#endif

void NoteStack() {
#ifdef __GLIBC__
  // On the main thread, its top and the size limit give the bottom without the
  // walk of every mapping of the process that pthread_getattr_np makes (0.4 ms).
  rlimit limit{};
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t top = (reinterpret_cast<uintptr_t>(__libc_stack_end) + page - 1) & ~(page - 1);
  const auto here = reinterpret_cast<uintptr_t>(&limit);
  if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < top &&
      here < top && here >= top - limit.rlim_cur) {
    g_stackLow = top - limit.rlim_cur;
    return;
  }
#endif
  pthread_attr_t attr;
  if (pthread_getattr_np(pthread_self(), &attr) != 0) return;
  void* addr = nullptr;
  size_t size = 0;
  if (pthread_attr_getstack(&attr, &addr, &size) == 0) g_stackLow = reinterpret_cast<uintptr_t>(addr);
  pthread_attr_destroy(&attr);
}

void MachineFaultHandler(int sig, siginfo_t* info, void*) {
  unsigned code = O2D_SignalToExceptionCode(sig, info ? info->si_code : 0);
  // Only a fault the system raised has an address (si_code > 0); a signal sent by a
  // process has none.
  if (sig == SIGSEGV && info && info->si_code > 0 && O2D_InStackGuardRegion(info->si_addr))
    code = O2D_EXCEPTION_STACK_OVERFLOW;
  if (g_report) g_report(code);
  // SA_RESETHAND restored the default action, so this ends the process as the
  // system would have (core dump included).
  raise(sig);
}

void QuitHandler(int) { O2D_RequestQuitFromSignal(); }

}  // namespace

bool O2D_InStackGuardRegion(const void* address) {
  const auto a = reinterpret_cast<uintptr_t>(address);
  return g_stackLow != 0 && a < g_stackLow + kGuardRegion && a + kGuardRegion >= g_stackLow;
}

void O2D_InstallSignalHandlers(O2DFaultReporter report) {
  g_report = report;
  NoteStack();
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
