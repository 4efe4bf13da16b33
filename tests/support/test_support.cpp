#include "test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

void TempDirTest::SetUp() {
  m_oldDir = std::filesystem::current_path();
  std::string tmpl = (std::filesystem::temp_directory_path() / "o2dtest.XXXXXX").string();
  ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
  m_dir = tmpl;
  std::filesystem::current_path(m_dir);
}

void TempDirTest::TearDown() {
  std::filesystem::current_path(m_oldDir);
  std::error_code ec;
  std::filesystem::remove_all(m_dir, ec);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::filesystem::path TestDataDir() { return std::filesystem::path(OSTRAK_SOURCE_DIR) / "tests" / "data"; }
