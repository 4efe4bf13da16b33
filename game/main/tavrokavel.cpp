// The program: everything happens in the engine's process entry.
#include "engineroutine.h"
#include "ost_window.h"

int main() { return ost_WinMain(&GameEngineEntry); }
