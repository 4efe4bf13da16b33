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
  static void Run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }
  static void ExpectCommitted(const fs::path& made) {
    const fs::path committed = fs::path(OSTRAK_SOURCE_DIR) / "game" / "DATA" / made.filename();
    ASSERT_TRUE(fs::exists(committed)) << committed;
    EXPECT_TRUE(ReadFileBytes(made) == ReadFileBytes(committed)) << made.filename() << " differs from the committed file";
  }
  // Runs `command` into a fresh folder and compares everything it wrote.
  void ExpectSameOutput(const std::string& name, const std::string& command) {
    fs::create_directory(name);
    Run(command);
    size_t files = 0;
    for (const auto& e : fs::directory_iterator(name)) ExpectCommitted(e.path()), ++files;
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
