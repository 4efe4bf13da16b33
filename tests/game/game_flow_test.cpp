// The whole game module on its own data, played with real mouse and keyboard
// events: boards solved by clicking the turns a solver finds.
#include <deque>
#include <map>

#include "gameinit_routine.h"
#include "gameplay_main.h"
#include "gui_fixture.h"
#include "highscore.h"
#include "o2dgui_stdclass_window.h"

namespace fs = std::filesystem;

namespace {

struct Turn {
  int32_t c, r, sense;
};

// The shortest turns that order a board (row by row), by a walk over its orders.
std::vector<Turn> Solve(std::vector<int32_t> start, int32_t cols, int32_t rows) {
  std::vector<int32_t> goal(start.size());
  for (size_t i = 0; i < goal.size(); ++i) goal[i] = int32_t(i) + 1;
  std::map<std::vector<int32_t>, std::pair<std::vector<int32_t>, Turn>> from{{start, {start, {}}}};
  std::deque<std::vector<int32_t>> pending{start};
  while (!pending.empty() && !from.count(goal)) {
    const std::vector<int32_t> order = pending.front();
    pending.pop_front();
    for (int32_t c = 0; c + 1 < cols; ++c)
      for (int32_t r = 0; r + 1 < rows; ++r)
        for (int32_t sense : {TURN_CLOCKWISE, TURN_COUNTERCLOCKWISE}) {
          std::vector<int32_t> next = order;
          int32_t* tl = &next[size_t(c + r * cols)];
          int32_t *tr = tl + 1, *bl = tl + cols, *br = bl + 1;
          if (sense == TURN_CLOCKWISE) std::tie(*tl, *tr, *br, *bl) = std::tuple(*bl, *tl, *tr, *br);
          else std::tie(*tl, *tr, *br, *bl) = std::tuple(*tr, *br, *bl, *tl);
          if (from.emplace(next, std::pair(order, Turn{c, r, sense})).second) pending.push_back(next);
        }
  }
  std::vector<Turn> turns;
  for (std::vector<int32_t> at = goal; at != start; at = from.at(at).first) turns.insert(turns.begin(), from.at(at).second);
  return turns;
}

class GameFlowTest : public GUITest {
 protected:
  void SetUp() override {
    GUITest::SetUp();
    GameLogicReset();
    fs::copy(fs::path(OSTRAK_SOURCE_DIR) / "game" / "DATA", "DATA", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    // A board small enough to solve by search, quick turns.
    WriteFileBytes("DATA/settings.xdat",
                   R"(<xmldata><game kavelgameid="2" sizex="3" sizey="2" actiontime="0.05"/></xmldata>)");
    fs::create_directory("data");
    GUITest::Start();
    GameModInit();
    Frames(40);
  }
  void TearDown() override {
    GameFree();
    GameLogicReset();
    GUITest::TearDown();
  }
  // Frames as the engine runs them, with the game's frame callback.
  void Frame(float seconds = 0.016f) override {
    s_clockMs += uint32_t(seconds * 1000.0f + 0.5f);
    ASSERT_EQ(m_engine->UpdateAllSystems(), 1);
    ASSERT_TRUE(GamePlay_Frame());
  }
  std::vector<int32_t> Board() {
    CGameLogicState& s = GameLogic();
    std::vector<int32_t> out;
    for (int32_t y = 0; y < s.Rows; ++y)
      for (int32_t x = 0; x < s.Columns; ++x) out.push_back(s.Board.At(x, y)->GetNumber());
    return out;
  }
  // A turn clicked on the corner its four cells share; the tiles come to rest.
  void TurnBlock(const Turn& t) {
    const CGameLogicState& s = GameLogic();
    Click(int(s.BoardLeft + (t.c + 1) * s.CellWidth), int(s.BoardTop + (t.r + 1) * s.CellHeight),
          t.sense == TURN_CLOCKWISE ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT);
    Frames(8);
    ASSERT_NE(GameLogic().GameState, GAMESTATE_MOVING);
  }
  bool Shown(const char* window) { return static_cast<CGUIWindow*>(Element(window))->GetState() == CGUIWindow::SHOWN; }
  std::string Text(const char* id) { return Param(id, "text").GetString(); }
};

TEST_F(GameFlowTest, SolvedBoardsAskForANameOnlyForFewerMoves) {
  EXPECT_TRUE(Shown("WND_DTP_MAINWINDOW"));
  EXPECT_EQ(GameLogic().GameState, GAMESTATE_NOGAME);
  EXPECT_FALSE(Param("TILE_MW_BESTRESULT", "visible").GetBool());
  Click(650, 417);  // New game
  ASSERT_EQ(GameLogic().GameState, GAMESTATE_WAITING);
  EXPECT_TRUE(Param("TILE_MW_MOVES", "visible").GetBool());

  const std::vector<Turn> first = Solve(Board(), 3, 2);
  for (const Turn& t : first) TurnBlock(t);
  EXPECT_EQ(Text("L_MW_MOVES_MOVES"), std::to_string(first.size()));
  Frames(40);
  ASSERT_TRUE(Shown("WND_DTP_HIGHSCORE"));  // no best result yet
  CGameLogicState& s = GameLogic();
  for (int32_t x = 0; x < s.Columns; ++x)  // the dialog stops the tiles: in their cells, not short of them
    for (int32_t y = 0; y < s.Rows; ++y)
      EXPECT_EQ(std::pair(s.Board.At(x, y)->GetScreenX(), s.Board.At(x, y)->GetScreenY()),
                std::pair(GameCellPosX(x + 1), GameCellPosY(y + 1)));
  EXPECT_EQ(GameLogic().GameState, GAMESTATE_DIALOG);
  EXPECT_FALSE(Param("BTN_HS_OK", "enabled").GetBool());
  EXPECT_FALSE(Element("BTN_MW_START")->IsEffectiveEnabled());  // the main window waits
  Key(SDL_SCANCODE_LSHIFT, true);
  Tap(SDL_SCANCODE_A);
  Key(SDL_SCANCODE_LSHIFT, false);
  EXPECT_TRUE(Param("BTN_HS_OK", "enabled").GetBool());
  for (SDL_Scancode key : {SDL_SCANCODE_N, SDL_SCANCODE_N, SDL_SCANCODE_RETURN}) Tap(key);  // Return: OK's hot key
  Frames(40);
  const auto n = static_cast<char>(first.size());
  EXPECT_EQ(ReadFileBytes("data/kavelhs.dat"), std::string("Ann\0", 4) + n + std::string(3, '\0'));
  EXPECT_TRUE(Param("TILE_MW_BESTRESULT", "visible").GetBool());
  EXPECT_EQ(Text("L_MW_BESTRESULT_NAME") + " " + Text("L_MW_BESTRESULT_MOVES"), "Ann " + std::to_string(first.size()));
  EXPECT_EQ(GameLogic().GameState, GAMESTATE_WAITING);

  // A second board solved with more moves only congratulates.
  const std::vector<Turn> second = Solve(Board(), 3, 2);
  while (GameLogic().MoveCounter + int(second.size()) <= int(first.size()))
    for (int i = 0; i < 4; ++i) TurnBlock({0, 0, TURN_CLOCKWISE});  // four turns change nothing
  for (const Turn& t : second) TurnBlock(t);
  Frames(40);
  EXPECT_TRUE(Shown("WND_DTP_COMPLETE"));
  EXPECT_FALSE(Shown("WND_DTP_HIGHSCORE"));
  Click(400, 367);  // OK
  Frames(40);
  EXPECT_FALSE(Shown("WND_DTP_COMPLETE"));
  EXPECT_EQ(ReadFileBytes("data/kavelhs.dat").size(), 8u);  // the best result stays
  EXPECT_EQ(GameLogic().MoveCounter, 0);
}

TEST_F(GameFlowTest, BothButtonsInOneFrameTurnTwiceAndEdgesSelectNothing) {
  Click(650, 417);
  const CGameLogicState& s = GameLogic();
  MoveTo(int(s.BoardLeft), int(s.BoardTop + s.CellHeight));  // on the board's edge
  Frames(1);
  EXPECT_FALSE(GameGetSelection().Exists());
  MoveTo(int(s.BoardLeft + s.CellWidth), int(s.BoardTop + s.CellHeight));
  Button(SDL_BUTTON_LEFT, true), Button(SDL_BUTTON_RIGHT, true), Frames(1);
  EXPECT_EQ(GameGetSelection().cells[2].x, 1);
  EXPECT_EQ(s.MoveCounter, 2);
  EXPECT_EQ(Text("L_MW_MOVES_MOVES"), "2");
  Button(SDL_BUTTON_LEFT, false), Button(SDL_BUTTON_RIGHT, false), Frames(8);
  EXPECT_EQ(s.GameState, GAMESTATE_WAITING);
}

TEST_F(GameFlowTest, HelpBeforeTheFirstGameAndTheOverlay) {
  Tap(SDL_SCANCODE_F1);
  Frames(30);
  EXPECT_TRUE(Shown("WND_DTP_HELP"));
  EXPECT_EQ(GameLogic().GameState, GAMESTATE_DIALOG);
  Tap(SDL_SCANCODE_RETURN);
  Frames(30);
  EXPECT_FALSE(Shown("WND_DTP_HELP"));
  EXPECT_EQ(GameLogic().GameState, GAMESTATE_NOGAME);  // still no board
  Key(SDL_SCANCODE_F2, true), Frames(1);
  EXPECT_TRUE(GameIsOverlayOn());
  Key(SDL_SCANCODE_F2, false), Frames(1);
  Tap(SDL_SCANCODE_F2);
  EXPECT_FALSE(GameIsOverlayOn());
}

}  // namespace
