#pragma once
// COstrak, the engine object: created once by the process entry, reached through
// O2D_GetEngine(), and the owner of every engine subsystem's state.
#include <cstdint>
#include <string>

#include "costrak_ehs.h"

class COstrak {
 public:
  COstrak();  // deletes the previous run's "gamelog.txt"
  ~COstrak();
  COstrak(const COstrak&) = delete;
  COstrak& operator=(const COstrak&) = delete;

  // --- game log -------------------------------------------------------------
  // The log keeps no state, so these work with or without an engine instance.
  static void LOG_AddEntry(const char* message, uint32_t level);
  static void LOG_AddEntry(const std::string& message, uint32_t level);
  static void LOG_AddSeparator(uint32_t kind);
  static void LOG_AddEmptyLines(int32_t count);
  static void LOG_AddLine(const char* message);
  static void LOG_AddLine(const std::string& message);

  // --- subsystem-ready flags --------------------------------------------------
  uint8_t m_bGfxReady = 0;
  uint8_t m_bResReady = 0;
  uint8_t m_bInpReady = 0;
  uint8_t m_bSfxReady = 0;
  uint8_t m_bScrReady = 0;
};

// The process-wide engine instance, or null before construction and after deletion.
COstrak* O2D_GetEngine();
