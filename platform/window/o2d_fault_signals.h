#pragma once
// Machine faults and quit signals. SIGSEGV, SIGBUS, SIGFPE and SIGILL are turned
// into the Windows exception code they stand for and handed to the engine's
// reporter on a stack of their own (so a stack overflow can still be reported);
// the signal is then raised again with its default action. SIGINT and SIGTERM
// request a normal quit through the event pump.
#include <cstdint>

enum : uint32_t {
  O2D_EXCEPTION_DATATYPE_MISALIGNMENT = 0x80000002u,
  O2D_EXCEPTION_BREAKPOINT = 0x80000003u,
  O2D_EXCEPTION_SINGLE_STEP = 0x80000004u,
  O2D_EXCEPTION_ACCESS_VIOLATION = 0xC0000005u,
  O2D_EXCEPTION_IN_PAGE_ERROR = 0xC0000006u,
  O2D_EXCEPTION_ILLEGAL_INSTRUCTION = 0xC000001Du,
  O2D_EXCEPTION_NONCONTINUABLE_EXCEPTION = 0xC0000025u,
  O2D_EXCEPTION_INVALID_DISPOSITION = 0xC0000026u,
  O2D_EXCEPTION_ARRAY_BOUNDS_EXCEEDED = 0xC000008Cu,
  O2D_EXCEPTION_FLT_DENORMAL_OPERAND = 0xC000008Du,
  O2D_EXCEPTION_FLT_DIVIDE_BY_ZERO = 0xC000008Eu,
  O2D_EXCEPTION_FLT_INEXACT_RESULT = 0xC000008Fu,
  O2D_EXCEPTION_FLT_INVALID_OPERATION = 0xC0000090u,
  O2D_EXCEPTION_FLT_OVERFLOW = 0xC0000091u,
  O2D_EXCEPTION_FLT_STACK_CHECK = 0xC0000092u,
  O2D_EXCEPTION_FLT_UNDERFLOW = 0xC0000093u,
  O2D_EXCEPTION_INT_DIVIDE_BY_ZERO = 0xC0000094u,
  O2D_EXCEPTION_INT_OVERFLOW = 0xC0000095u,
  O2D_EXCEPTION_PRIV_INSTRUCTION = 0xC0000096u,
  O2D_EXCEPTION_STACK_OVERFLOW = 0xC00000FDu,
};

// Called inside the signal handler: it may use async-signal-safe calls only.
using O2DFaultReporter = void (*)(unsigned exceptionCode);
// Installs the handlers for the calling thread's process; a SIGSEGV whose address
// lies in the guard region below the calling thread's stack is a stack overflow.
void O2D_InstallSignalHandlers(O2DFaultReporter report);

// True when the address lies in the guard region below the stack of the thread that
// installed the handlers (false before they are installed).
bool O2D_InStackGuardRegion(const void* address);

// The exception code a machine-fault signal stands for (0 for another signal).
unsigned O2D_SignalToExceptionCode(int sig, int siCode);
