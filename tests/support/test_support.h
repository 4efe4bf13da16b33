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

// The game log in the working directory, and whether it holds `text`.
inline std::string GameLog() { return ReadFileBytes("gamelog.txt"); }
inline bool LogHas(const std::string& text) { return GameLog().find(text) != std::string::npos; }
inline size_t LogCount(const std::string& text) {
  const std::string log = GameLog();
  size_t n = 0;
  for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
  return n;
}
// One entry of a resource descriptor.
inline std::string Res(const std::string& id, const std::string& file, const std::string& type, int tag = 1,
                       int d1 = 0, int d2 = 0, int d3 = 0) {
  return "<r id=\"" + id + "\" filename=\"" + file + "\" typeid=\"" + type + "\" tag=\"" + std::to_string(tag) +
         "\" data1=\"" + std::to_string(d1) + "\" data2=\"" + std::to_string(d2) + "\" data3=\"" + std::to_string(d3) +
         "\"/>";
}
// The log's first-level separator line.
inline const std::string kSep1 = "|---------------------------------------------------|\n";
