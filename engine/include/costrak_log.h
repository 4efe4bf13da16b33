#pragma once
// The game log's files and line formats. Each call opens "gamelog.txt", appends
// and closes it (CAppendFile), so every line is on disk when the call returns and
// a fault handler can write the same way.
#include <cstdint>

#include "o2d_append_file.h"

inline constexpr const char* O2D_GAMELOG_FILE = "gamelog.txt";
inline constexpr const char* O2D_EHSLOG_FILE = "ehslog.txt";

// Prefix of a log level, or null for a level that writes nothing (7 and above).
const char* LOG_LevelPrefix(uint32_t level) noexcept;
// The 53-character separator line of a kind, or null for a kind that writes nothing.
const char* LOG_SeparatorLine(uint32_t kind) noexcept;
