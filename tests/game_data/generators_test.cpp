// The committed data is what the generators make now: a generator changed
// without its output committed (or data edited by hand) fails here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_support.h"

namespace fs = std::filesystem;

namespace {

class GeneratorsTest : public TempDirTest {
 protected:
  // Runs `command` into a fresh folder and compares everything it wrote.
  void ExpectSameOutput(const std::string& name, const std::string& command) {
    fs::create_directory(name);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    size_t files = 0;
    for (const auto& e : fs::directory_iterator(name)) {
      const fs::path committed = fs::path(OSTRAK_SOURCE_DIR) / "game" / "DATA" / e.path().filename();
      EXPECT_TRUE(fs::exists(committed)) << committed;
      EXPECT_TRUE(ReadFileBytes(e.path()) == ReadFileBytes(committed)) << e.path() << " differs from " << committed;
      ++files;
    }
    EXPECT_GT(files, 0u) << name;
  }
};

TEST_F(GeneratorsTest, TexturesSoundsAndMusicMatchTheCommittedFiles) {
  ExpectSameOutput("tex", std::string(TEXGEN_EXE) + " tex");
  ExpectSameOutput("sfx", std::string(SFXGEN_EXE) + " sfx");
  ExpectSameOutput("mus", std::string(MUSGEN_EXE) + " mus/mus_game.xm");
}

#ifdef FONTBAKE_EXE
TEST_F(GeneratorsTest, FontMatchesTheCommittedFiles) {
  ExpectSameOutput("fnt", std::string(FONTBAKE_EXE) + " " + DEJAVU_BOLD +
                              " fnt/fnt_font1.png fnt/fnt_font1.fnt FNT_FONT1 TEX_FONT1 TEQ_STD2 TEQ_PACK");
}
#endif

}  // namespace
