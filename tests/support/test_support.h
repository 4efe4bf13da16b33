#pragma once
// Helpers shared by the test programs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Runs each test in a fresh, empty working directory: the engine writes its
// logs and reports to the working directory.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  std::filesystem::path m_dir;
  std::filesystem::path m_oldDir;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// The test data the project carries (tests/data).
std::filesystem::path TestDataDir();

// The game log in the working directory, and whether it holds `text`.
inline std::string GameLog() { return ReadFileBytes("gamelog.txt"); }
inline bool LogHas(const std::string& text) { return GameLog().find(text) != std::string::npos; }
// The log's first-level separator line.
inline const std::string kSep1 = "|---------------------------------------------------|\n";
