#pragma once
// The best result: a player name and a move count, kept in memory and in the
// small file "data/kavelhs.dat" (name bytes, a zero byte, the count as 4 bytes
// little-endian).
#include <cstdint>
#include <filesystem>
#include <string>

// Reads the file into the best result; false (and "Unknown", 0) when there is none.
bool LoadFile();
// Writes the best result. The old file is replaced only by a complete new one.
void SaveFile();
// LoadFile, then the best-result panel of the main window shows it or hides.
void ShowBestResult();

const std::string& HighscoreGetName();
int32_t HighscoreGetMoves();
void HighscoreSet(std::string name, int32_t moves);

// The file's path: the working folder's "data" folder, matched without regard
// to case, so "DATA" and "data" name the same folder.
std::filesystem::path HighscorePath();
