#pragma once
// What every subsystem does with its item managers: create and destroy them with
// the same log lines, and look string IDs up with the same miss line.
#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "costrak.h"

// "Creating <kind> Manager..." ... "Done."; the failure record names the caller.
template <typename Manager>
void O2D_CreateManager(std::unique_ptr<Manager>& manager, const char* creating, const char* failure,
                       const char* file, int32_t line) {
  COstrak::LOG_AddEmptyLines(1);
  COstrak::LOG_AddEntry(creating, 1);
  manager.reset(new (std::nothrow) Manager());
  if (!manager) EHS_Raise(EHS_GENERAL, 0, failure, file, line);
  COstrak::LOG_AddEmptyLines(1);
  COstrak::LOG_AddEntry("Done.", 4);
}
#define O2D_CREATE_MANAGER(manager, creating, failure) \
  O2D_CreateManager((manager), (creating), (failure), __FILE__, __LINE__)

// Frees every item, then the manager; "Failed." when there was none.
template <typename Manager>
void O2D_DestroyManager(std::unique_ptr<Manager>& manager, const char* destroying) {
  COstrak::LOG_AddEntry(destroying, 1);
  if (!manager) {
    COstrak::LOG_AddEntry("Failed.", 4);
    return;
  }
  manager->FreeAllItems();
  manager.reset();
  COstrak::LOG_AddEntry("Done.", 4);
}

// A string-ID lookup's result; a miss is logged, not an error.
inline int32_t O2D_LogMissingIID(int32_t id, const char* kind, const char* strID) {
  if (id < 0) COstrak::LOG_AddEntry(std::string("Cannot find iID of ") + kind + " with strID = " + strID, 5);
  return id;
}
