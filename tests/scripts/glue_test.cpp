// The script API through real Lua text: every function once with good
// arguments and with a wrong type at each position, then the conversions that
// reach the engine (optional arguments, items, truncation, results).
#include <sstream>

#include "costrak_utils_demand.h"
#include "script_fixture.h"

namespace {

class GlueTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    WriteFileBytes("DATA/a.bmp", Bitmap32(2, 2, std::vector<uint32_t>(4, 0xFFFFFFFFu)));
    WriteFileBytes("DATA/teq.pack", "<techniquespack><t id=\"TEQ_A\"/></techniquespack>");
    WriteFileBytes("DATA/a.fnt", FontXML("FNT_A", "TEX_A", "TEQ_A", "TEQ_PACK"));
    WriteWav("DATA/a.wav", 44100, 1, SineWave(44100, 440, 0.2));
    WriteFileBytes("DATA/list.pls", "<playlist id=\"PL_A\" tag=\"2\"><m id=\"MUS_A\"/></playlist>");
    WriteFileBytes("DATA/s.lua", "script_runs = (script_runs or 0) + 1");
    StartAll(Res("TEX_A", "a.bmp", "TEXTURE") + Res("TEX_B", "a.bmp", "TEXTURE") +
             Res("TEQ_PACK", "teq.pack", "TECHNIQUE") + Res("FNT_A", "a.fnt", "FONT") +
             Res("SND_A", "a.wav", "SOUND") + Res("MUS_A", "a.wav", "MUSIC") +
             Res("PL_A", "list.pls", "PLAYLIST") + Res("SCR_A", "s.lua", "SCRIPT"));
    O2DUTIL_DemandTexture("TEX_A");
    O2DUTIL_DemandFont("FNT_A");  // with its technique pack
    O2DUTIL_DemandSound("SND_A");
    O2DUTIL_DemandPlaylist("PL_A");  // with its music
  }
};

// Every function of the script API as "name:argument kinds:result kinds", the
// results last first. Kinds: 'n' number, 'b' boolean, 's' string, 'i' item; an
// optional argument follows a '|'. A token ending in '_' is the prefix of the
// names after it. A good call passes 1 for a number, false for a boolean, and
// for a string or an item the ID of what the function works on (GoodID); an
// unloading call comes after the others of its kind.
constexpr const char* kTable =
    "O2D_SYS_ TimerGetDelta::n TimerGetFPS::n SetXMLEncryptMode:b: UpdateAllSystems::n "
    "O2D_LOG_ AddEntry:s: "
    "O2D_GFX_ SceneBegin:: SceneEnd:: SceneClearScreen:nnn: SceneRender:: ScenePresent:: SceneSetViewport:nnnn: "
    "SceneMakeScreenshot:: SceneSetGamma:nn: VQuadSetPos:nnnn|n: VQuadSetPosByVertex:nnn|n: VQuadRotate:nnn: "
    "VQuadScale:nnn: VQuadMove:nn|n: VQuadSetTexCoords:nnnnn: VQuadSetColor:nnn|n: VQuadSetColorByVertex:nnnn|n: "
    "TexSet:i|n: TexSetNoTexture:|n: TechApply:i: FontSet:i: FontDrawText:snnnnn: TexUnloadByID:i: "
    "O2D_INP_ KeyboardGetAnyPressedKey::n KeyboardIsKeyPressed:n:b KeyboardIsKeyClicked:n:b "
    "KeyboardSetTextBufferStatus:b: KeyboardSetTextInBuffer:s: KeyboardGetTextInBuffer::s KeyboardSetTextBufferSize:n: "
    "MouseGetAnyPressedKey::n MouseIsKeyPressed:n:b MouseIsKeyClicked:n:b MouseGetDeltaX::n MouseGetDeltaY::n "
    "MouseGetWheelDelta::n MouseGetCursorPos::nn MouseGetCursorStatus::b "
    "O2D_SFX_ SetGlobalVolumes:nn: SoundPlay:ibnnn: SoundStop:i: SoundPause:i: SoundResume:i: "
    "SoundSetAttributes:innn: SoundSlideAttributes:innnn: SoundGetStatus:i:n SoundUnload:i: MusicSetVolume:nn: "
    "PlaylistSet:i: PlaylistStop:: "
    "O2D_RES_ LoadResource:s: LoadResources:n: "
    "O2DUTIL_ DemandTexture:s:n DemandTechnique:ss:n DemandFont:s:n DemandSound:s:n DemandMusic:s:n "
    "DemandPlaylist:s:n";

std::string GoodID(const std::string& name, size_t pos) {
  const std::pair<const char*, const char*> ids[] = {
      {"Tech", pos == 0 ? "'TEQ_A'" : "'TEQ_PACK'"}, {"Tex", "'TEX_A'"}, {"Font", "'FNT_A'"}, {"Sound", "'SND_A'"},
      {"Music", "'MUS_A'"}, {"Playlist", "'PL_A'"}, {"Resource", "'SCR_A'"}};
  for (const auto& [part, id] : ids)
    if (name.find(part) != std::string::npos) return id;
  return "'a line from a script'";
}

struct GlueCase {
  std::string name, kinds, results;
  std::vector<std::string> args;  // a good call
};

std::vector<GlueCase> Cases() {
  std::vector<GlueCase> cases;
  std::istringstream in(kTable);
  std::string token, prefix;
  while (in >> token) {
    if (token.back() == '_') {
      prefix = token;
      continue;
    }
    GlueCase c;
    const size_t colon = token.find(':'), second = token.find(':', colon + 1);
    c.name = prefix + token.substr(0, colon);
    c.kinds = token.substr(colon + 1, second - colon - 1);
    std::erase(c.kinds, '|');  // an optional argument is passed and checked like the others
    c.results = token.substr(second + 1);
    for (char kind : c.kinds)
      c.args.push_back(kind == 'n' ? "1" : kind == 'b' ? "false" : GoodID(c.name, c.args.size()));
    cases.push_back(c);
  }
  return cases;
}

std::string CallText(const std::string& name, const std::vector<std::string>& args) {
  std::string text = name + "(";
  for (size_t i = 0; i < args.size(); ++i) text += (i ? ", " : "") + args[i];
  return text + ")";
}

// A value of a type the kind refuses, and of the type closest to being accepted.
std::string WrongFor(char kind) {
  switch (kind) {
    case 'n': return "'5'";  // a numeric string is not a number
    case 'b': return "1";
    case 's': return "5";    // nor a number a string
    default: return "true";  // an item is a number or a string
  }
}

TEST_F(GlueTest, EveryFunctionChecksEachArgumentAndRunsWithGoodOnes) {
  const std::vector<GlueCase> cases = Cases();
  ASSERT_EQ(cases.size(), 62u);
  for (const GlueCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string got;
    for (const CLuaValue& v : Eval("return " + CallText(c.name, c.args)))
      got += v.GetStatus() == LUAVAL_NUMBER ? 'n' : v.GetStatus() == LUAVAL_BOOLEAN ? 'b' : 's';
    EXPECT_EQ(got, c.results);

    for (size_t pos = 1; pos <= c.kinds.size(); ++pos) {
      std::vector<std::string> args = c.args;
      args[pos - 1] = WrongFor(c.kinds[pos - 1]);
      EXPECT_EQ(Raised([&] { Run(CallText(c.name, args)); }), GlueError(c.name, int(pos)));
    }
  }
  EXPECT_EQ(StackTop(), 0);
  EXPECT_TRUE(LogHas("\na line from a script\n"));
  EXPECT_EQ(Kinds(Eval("return script_runs")), "n:2.000000 ");
}

TEST_F(GlueTest, OptionalArgumentsItemsAndNumbersReachTheEngineConverted) {
  // One more than the optional one is neither checked nor used.
  for (auto [more, z] : {std::pair{"", 0.5f}, {", 0.7", 0.7f}, {", {}, {}", 0.5f}}) {
    m_engine->VQuadSetPos(0, 0, 0, 0, 0.1f);
    Run(std::string("O2D_GFX_VQuadSetPos(1, 2, 3, 4") + more + ")");
    EXPECT_FLOAT_EQ(m_engine->VQuadGet().Vertices[2].z, z) << more;
    EXPECT_FLOAT_EQ(m_engine->VQuadGet().Vertices[2].x, 4.0f) << more;
  }
  EXPECT_EQ(Raised([&] { Run("O2D_GFX_VQuadSetPos(1, 2, 3)"); }), GlueError("O2D_GFX_VQuadSetPos", 4));

  // Items go by string ID or by truncated number.
  const int32_t texA = O2DUTIL_DemandTexture("TEX_A");
  const int32_t texB = O2DUTIL_DemandTexture("TEX_B");
  Run("O2D_GFX_TexSet('TEX_B')");
  EXPECT_EQ(m_engine->TexGetCurrent(0), texB);
  Run("O2D_GFX_TexSet(" + std::to_string(texA) + ".9, 1.99)");
  EXPECT_EQ(m_engine->TexGetCurrent(1), texA);
  EXPECT_EQ(m_engine->TexGetCurrent(0), texB);
  // A string ID without an item reaches the by-string-ID operation, which refuses it.
  EXPECT_EQ(Raised([&] { Run("O2D_GFX_FontSet('FNT_NONE')"); }), Raised([&] { m_engine->FontSetByStrID("FNT_NONE"); }));

  // Numbers are truncated toward zero, and results pushed as they come.
  m_input->keys[57] = 0x80;
  m_engine->InputUpdate();
  EXPECT_EQ(Kinds(Eval("return O2D_INP_KeyboardIsKeyPressed(57.9), O2D_INP_KeyboardIsKeyPressed(58), "
                       "O2D_INP_KeyboardGetAnyPressedKey()")),
            "n:57.000000 b:false b:true ");
  // Out of the int range and NaN: saturated and zero, not undefined.
  EXPECT_EQ(Kinds(Eval("return O2D_INP_MouseIsKeyPressed(1e300), O2D_INP_MouseIsKeyPressed(0/0), "
                       "O2D_INP_MouseIsKeyPressed(-1e300)")),
            "b:false b:false b:false ");
  Run("O2D_SYS_SetXMLEncryptMode(true)");
  EXPECT_TRUE(O2D_GetXMLEncryptMode());
}

}  // namespace
