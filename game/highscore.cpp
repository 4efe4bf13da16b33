#include "highscore.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <system_error>

#include "costrak.h"
#include "o2dgui_cguielement_main.h"
#include "o2dgui_costrakgui_main.h"

static constexpr int EHS_FILE_ID = EHSF_HIGHSCORE;

namespace fs = std::filesystem;

namespace {
std::string g_strBestName;
int32_t g_iBestMoves = 0;

bool IsDataFolderName(const std::string& name) {
  return name.size() == 4 && std::equal(name.begin(), name.end(), "data",
                                         [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}
}  // namespace

const std::string& HighscoreGetName() { return g_strBestName; }
int32_t HighscoreGetMoves() { return g_iBestMoves; }
void HighscoreSet(std::string name, int32_t moves) {
  g_strBestName = std::move(name);
  g_iBestMoves = moves;
}

fs::path HighscorePath() {
  fs::path folder = "data";
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    for (fs::directory_iterator it(".", ec), end; !ec && it != end; it.increment(ec)) {
      if (it->is_directory(ec) && IsDataFolderName(it->path().filename().string())) {
        folder = it->path().filename();
        break;
      }
    }
  }
  return folder / "kavelhs.dat";
}

bool LoadFile() {
  EHS_CP();
  COstrak::LOG_AddLine("Loading highscore data...");
  const fs::path path = HighscorePath();
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    HighscoreSet("Unknown", 0);
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) EHS_RAISE(EHS_GAME, 0, "Can't open file kavelhs.dat!");
  std::string name;
  char c = 0;
  while (in.get(c) && c != '\0') name += c;
  if (name.empty()) EHS_RAISE(EHS_GAME, 0, "Error in LoadFile: Invalid player name!");
  g_strBestName = name;
  unsigned char bytes[4] = {};
  if (!in.read(reinterpret_cast<char*>(bytes), 4)) EHS_RAISE(EHS_GAME, 0, "Error in LoadFile: Invalid count moves!");
  const auto count = static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                                          uint32_t{bytes[3]} << 24);
  if (count <= 0) EHS_RAISE(EHS_GAME, 0, "Error in LoadFile: Invalid count moves!");
  g_iBestMoves = count;
  return true;
}

// Written beside the old file and renamed over it, so a crash or a full disk
// while writing leaves the old best result as it was.
void SaveFile() {
  EHS_CP();
  const fs::path path = HighscorePath();
  fs::path temp = path;
  temp += ".new";
  const auto moves = static_cast<uint32_t>(g_iBestMoves);
  const char count[4] = {static_cast<char>(moves & 0xFF), static_cast<char>(moves >> 8 & 0xFF),
                         static_cast<char>(moves >> 16 & 0xFF), static_cast<char>(moves >> 24 & 0xFF)};
  bool written = false;
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (out) {
      out.write(g_strBestName.data(), static_cast<std::streamsize>(g_strBestName.size()));
      out.put('\0');
      out.write(count, 4);
      out.close();
      written = !out.fail();
    }
  }
  std::error_code ec;
  if (written) fs::rename(temp, path, ec);
  if (!written || ec) {
    fs::remove(temp, ec);
    EHS_RAISE(EHS_GAME, 0, "Can't writing file kavelhs.dat!");
  }
}

void ShowBestResult() {
  EHS_CP();
  COstrakGUI& gui = COstrakGUI::Get();
  if (!LoadFile()) {
    gui.ExecuteElementCommand("TILE_MW_BESTRESULT", GUICMD_HIDE);
    return;
  }
  gui.ExecuteElementCommand("TILE_MW_BESTRESULT", GUICMD_SHOW);
  gui.SetElementParam("L_MW_BESTRESULT_NAME", GUIP_TEXT, CGUIValue(g_strBestName));
  gui.SetElementParam("L_MW_BESTRESULT_MOVES", GUIP_TEXT, CGUIValue(std::to_string(g_iBestMoves)));
}
