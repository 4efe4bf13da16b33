#include "costrak_log.h"

#include "costrak.h"

const char* LOG_LevelPrefix(uint32_t level) noexcept {
  static const char* const kPrefixes[] = {"? ", "   =: ", "  -=: ", "--==: ", "   +: ", " !: ", " !!!: "};
  return level < 7 ? kPrefixes[level] : nullptr;
}

const char* LOG_SeparatorLine(uint32_t kind) noexcept {
  switch (kind) {
    case 1: return "|---------------------------------------------------|";
    case 2: return "|===================================================|";
    case 3: return "|:::::::::::::::::::::::::::::::::::::::::::::::::::|";
    case 4: return "|!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!|";
    default: return nullptr;
  }
}

// The log keeps no state: each call opens "gamelog.txt", appends and closes it.

void COstrak::LOG_AddEntry(const char* message, uint32_t level) {
  CAppendFile log(O2D_GAMELOG_FILE);
  const char* prefix = LOG_LevelPrefix(level);
  if (prefix) log.Put(prefix).Put(message ? message : "").EndLine();
}

void COstrak::LOG_AddEntry(const std::string& message, uint32_t level) { LOG_AddEntry(message.c_str(), level); }

void COstrak::LOG_AddSeparator(uint32_t kind) {
  CAppendFile log(O2D_GAMELOG_FILE);
  if (const char* line = LOG_SeparatorLine(kind)) log.Put(line).EndLine();
}

void COstrak::LOG_AddEmptyLines(int32_t count) {
  CAppendFile log(O2D_GAMELOG_FILE);
  for (int32_t i = 0; i < count; ++i) log.EndLine();
}

void COstrak::LOG_AddLine(const char* message) {
  CAppendFile log(O2D_GAMELOG_FILE);
  log.Put(message ? message : "").EndLine();
}

void COstrak::LOG_AddLine(const std::string& message) { LOG_AddLine(message.c_str()); }
