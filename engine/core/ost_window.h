#pragma once
// The process entry: single-instance guard, machine-fault handlers, the engine
// object, and the guarded run of the game entry.

// The game's entry: start-up sequence, frame loop and game shutdown.
using O2DGameEntry = void (*)();

// Runs the game and returns the process exit status: 0 after a normal end or
// when another instance already runs, 1 after a fatal error.
int ost_WinMain(O2DGameEntry gameEntry);

// Name of the single-instance guard.
inline constexpr const char* O2D_INSTANCE_NAME = "Ostrak2D App";

// Installs the SIGSEGV/SIGBUS/SIGFPE/SIGILL handlers that write the type-3 report
// and re-raise, and the SIGINT/SIGTERM handlers that request a normal quit.
void O2D_InstallSignalHandlers();

// The Windows exception code a machine-fault signal stands for (0 for another signal).
unsigned O2D_SignalToExceptionCode(int sig, int siCode);
