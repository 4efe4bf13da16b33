// The committed game data loads in the engine as the game loads it (tags 1 to 5,
// loose files and packs), holds every resource the game names, and reads well.
#include <xmp.h>

#include <cmath>
#include <filesystem>

#include "costrak_utils_cxmlvar.h"
#include "costrak_xml.h"
#include "gl_engine.h"
#include "o2d_audio.h"

namespace fs = std::filesystem;

namespace {

const char* const kTextures[] = {"TEX_CELL",           "TEX_TILE",           "TEX_FOCUS",          "TEX_CURSOR",
                                 "TEX_FONT1",          "TEX_GUI_DESKTOP",    "TEX_GUI_WINDOW",     "TEX_GUI_INFOPANEL",
                                 "TEX_GUI_BTN_NORMAL", "TEX_GUI_BTN_SELECTED", "TEX_GUI_BTN_PRESSED", "TEX_GUI_BTN_DISABLED",
                                 "TEX_GUI_TEXTBOX"};
const char* const kSounds[] = {"SND_PIECEMOVE", "SND_GUI_CLICK", "SND_GUI_WNDSHOW", "SND_GUI_WNDHIDE", "SND_GUI_TYPE"};

class GameDataTest : public GLEngineTest {
 protected:
  void TearDown() override {
    GLEngineTest::TearDown();
    O2D_SetXMLEncryptMode(false);  // packs turned it on
  }
  // The data folder from `from` (only the files matching `ext`), then the rest of
  // the engine as the game starts it, and the game's tags loaded.
  void Start(const fs::path& from, const std::string& ext) {
    fs::create_directory("DATA");
    for (const auto& e : fs::directory_iterator(from))
      if (ext.empty() || e.path().extension() == ext) fs::copy_file(e.path(), "DATA" / e.path().filename());
    m_engine->ResInit();
    m_engine->ScrInit();
    m_engine->SoundSelectDevice(O2DAUDIO_DEVICE_RENDER);
    m_engine->SoundInit(44100);
    for (int tag = 1; tag <= 5; ++tag) m_engine->LoadResources(tag);
  }
  void ExpectEveryResource() {
    for (const char* id : kTextures) EXPECT_GE(m_engine->GetTextureIID(id), 0) << id;
    EXPECT_GE(m_engine->GetTechniqueIID("TEQ_STD2"), 0);
    EXPECT_GE(m_engine->GetFontIID("FNT_FONT1"), 0);
    for (const char* id : kSounds) EXPECT_GE(m_engine->GetSoundIID(id), 0) << id;
    EXPECT_GE(m_engine->GetMusicIID("MUS_GAME"), 0);
    EXPECT_EQ(m_gameId.GetValue(), 2);
    EXPECT_GE(m_sizeX.GetValue(), 2);
    EXPECT_GE(m_sizeY.GetValue(), 2);
    EXPECT_GT(m_actionTime.GetValue(), 0.0f);
  }

  // The game's variables, declared as the game declares them.
  CXMLVarInt m_gameId{"kavelgameid"}, m_sizeX{"sizex"}, m_sizeY{"sizey"};
  CXMLVarFloat m_actionTime{"actiontime"};
};

TEST_F(GameDataTest, LooseFilesHoldEveryResourceTheGameNames) {
  Start(fs::path(OSTRAK_SOURCE_DIR) / "game" / "DATA", "");
  EXPECT_EQ(m_engine->ResGetMode(), 1);
  ExpectEveryResource();

  // A tile label as the board draws it (cell 90, scale 0.8, colour 0): dark
  // strokes on the light tile, inside the tile.
  m_engine->SceneBegin();
  m_engine->SceneClearScreen(0, 0, 0);
  m_engine->TechApplyByStrID("TEQ_STD2");
  m_engine->TexSetByStrID("TEX_TILE", 0);
  m_engine->VQuadSetColor(1, 1, 1, 1);
  m_engine->VQuadSetTexCoords(1, 0, 0, 1, 1);
  m_engine->VQuadSetPos(100, 100, 90, 90, 0.5f);
  m_engine->SceneRender();
  m_engine->FontSetByStrID("FNT_FONT1");
  m_engine->FontDrawTextEx("8", 100 + 90 * 0.38461539f, 100 + 90 * 0.29411763f, 0, 0, 1.0f, true, 0.8f, 0, 0);
  const O2DFrameImage frame = EndAndRead();
  int dark = 0, light = 0, darkLeft = 0, darkRight = 0;
  for (uint32_t y = 100; y < 190; ++y)
    for (uint32_t x = 100; x < 190; ++x) {
      const uint32_t p = At(frame, x, y);
      const int luma = int((p >> 16) & 255) + int((p >> 8) & 255) + int(p & 255);
      if (luma < 200) ++dark, (x < 145 ? darkLeft : darkRight)++;
      if (luma > 600) ++light;
    }
  EXPECT_GT(light, 90 * 90 / 2);  // the tile face
  EXPECT_GT(dark, 60);            // the digit's strokes
  EXPECT_GT(darkLeft, 10);        // roughly centred
  EXPECT_GT(darkRight, 10);

  // The music: a module libxmp reads, at least half a minute long, not silence.
  const std::string xm = ReadFileBytes("DATA/mus_game.xm");
  xmp_context ctx = xmp_create_context();
  ASSERT_EQ(xmp_load_module_from_memory(ctx, const_cast<char*>(xm.data()), long(xm.size())), 0);
  xmp_module_info info;
  xmp_get_module_info(ctx, &info);
  EXPECT_GE(info.seq_data[0].duration, 30000);
  ASSERT_EQ(xmp_start_player(ctx, 44100, 0), 0);
  double energy = 0;
  long samples = 0;
  for (int frame = 0; frame < 200 && xmp_play_frame(ctx) == 0; ++frame) {
    xmp_frame_info fi;
    xmp_get_frame_info(ctx, &fi);
    const int16_t* pcm = static_cast<const int16_t*>(fi.buffer);
    for (int i = 0; i < fi.buffer_size / 2; ++i, ++samples) energy += double(pcm[i]) * pcm[i];
  }
  xmp_end_player(ctx);
  xmp_release_module(ctx);
  xmp_free_context(ctx);
  EXPECT_GT(std::sqrt(energy / double(samples)), 1000.0);
}

TEST_F(GameDataTest, PacksHoldTheSameResources) {
  Start(GAME_PAKS_DIR, ".pak");
  EXPECT_EQ(m_engine->ResGetMode(), 2);
  ExpectEveryResource();
}

}  // namespace
