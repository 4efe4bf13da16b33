#include "test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

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
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
